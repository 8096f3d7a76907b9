// A command's result: one JSON object, printed as JSON with --json, else as
// readable text (a custom text form when the command gives one, otherwise
// "key: value" lines and tables for lists of records).
#pragma once

#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>

namespace kl {

using Json = nlohmann::ordered_json;

class Output {
public:
    explicit Output(bool json) : json_(json) {}

    bool json() const { return json_; }
    Json& result() { return result_; }
    Json& operator[](const char* key) { return result_[key]; }

    // Replaces the generic text form.
    void setText(std::function<void(std::ostream&)> text) { text_ = std::move(text); }

    void print(std::ostream& out) const;

private:
    bool json_;
    Json result_ = Json::object();
    std::function<void(std::ostream&)> text_;
};

// The generic text form of a JSON value.
void printText(std::ostream& out, const Json& value);

}  // namespace kl
