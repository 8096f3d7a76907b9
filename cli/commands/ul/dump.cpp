// kovalink ul dump FILE: every page into a raw or text file.
#include <fstream>

#include "core/errors.h"
#include "core/options.h"
#include "tag.h"

namespace {

bool textName(const std::string& path) {
    for (const char* suffix : {".txt", ".eml"}) {
        const std::string s = suffix;
        if (path.size() >= s.size() && path.compare(path.size() - s.size(), s.size(), s) == 0) return true;
    }
    return false;
}

class Dump : public kl::Command {
public:
    void define(CLI::App& app) override {
        app.add_option("FILE", file_, "output: .txt or .eml one page per line in hex, any other name raw bytes")
            ->required();
        kl::addNumber(app, "--pages", pages_, 1, 256, "number of pages (default: from the tag's type)");
        auth_.define(app);
    }

    void run(kl::Context& context) override {
        kl::ul::Tag tag(context);
        const kl::Bytes uid = tag.open(auth_);
        const kl::ul::TagType type = tag.identify();
        const unsigned pages = pages_ > 0 ? pages_ : type.pages;
        kl::Bytes image;
        for (unsigned p = 0; p < pages; p += 4) {
            const kl::Bytes data = tag.read4(p);
            image.insert(image.end(), data.begin(), data.begin() + 4 * std::min(4u, pages - p));
        }
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        for (std::size_t at = 0; at < image.size(); at += kl::ul::kPageSize) {
            if (textName(file_)) out << kl::toHex(&image[at], kl::ul::kPageSize) << "\n";
            else out.write(reinterpret_cast<const char*>(&image[at]), kl::ul::kPageSize);
        }
        if (!out.flush()) throw kl::Failure(kl::kExitFailure, "cannot write " + file_);
        context.out["uid"] = kl::toHex(uid);
        context.out["type"] = type.name;
        context.out["pages"] = pages;
        context.out["file"] = file_;
    }

private:
    std::string file_;
    unsigned pages_ = 0;
    kl::ul::AuthChoice auth_;
};

}  // namespace

KL_COMMAND(Dump, "ul dump", "read every page into a file (raw or text format)")
