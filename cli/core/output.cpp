#include "output.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace kl {
namespace {

std::string scalar(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_null()) return "-";
    if (value.is_array()) {
        if (value.empty()) return "(none)";
        std::string text;
        for (const Json& item : value) text += (text.empty() ? "" : " ") + scalar(item);
        return text;
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool isTable(const Json& value) {
    return value.is_array() && !value.empty() &&
           std::all_of(value.begin(), value.end(), [](const Json& v) { return v.is_object(); });
}

// A table cell. A record there (a decoded value, such as a card's ATS)
// shows its member named like the column, the raw value it decodes, when it
// has one, else its members as key=value; its whole form is in --json.
std::string cell(const Json& row, const std::string& key) {
    const Json value = row.value(key, Json());
    if (!value.is_object()) return scalar(value);
    if (value.contains(key) && !value[key].is_object()) return scalar(value[key]);
    std::string text;
    for (auto it = value.begin(); it != value.end(); ++it) {
        text += (text.empty() ? "" : " ") + it.key() + "=" + (it.value().is_object() ? "..." : scalar(it.value()));
    }
    return text;
}

// Records as aligned columns under a header of their keys (taken from the first record).
void printTable(std::ostream& out, const Json& rows, const std::string& indent) {
    std::vector<std::string> keys;
    for (auto it = rows.front().begin(); it != rows.front().end(); ++it) keys.push_back(it.key());
    std::vector<std::size_t> width(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        width[k] = keys[k].size();
        for (const Json& row : rows) width[k] = std::max(width[k], cell(row, keys[k]).size());
    }
    auto line = [&](auto cell) {
        std::string text = indent;
        for (std::size_t k = 0; k < keys.size(); ++k) {
            std::string c = cell(k);
            if (k + 1 < keys.size()) c.resize(width[k] + 2, ' ');
            text += c;
        }
        out << text << "\n";
    };
    line([&](std::size_t k) { return keys[k]; });
    for (const Json& row : rows) line([&](std::size_t k) { return cell(row, keys[k]); });
}

void printObject(std::ostream& out, const Json& object, const std::string& indent) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        const Json& value = it.value();
        if (isTable(value)) {
            out << indent << it.key() << ":\n";
            printTable(out, value, indent + "  ");
        } else if (value.is_object()) {
            out << indent << it.key() << ":\n";
            printObject(out, value, indent + "  ");
        } else {
            out << indent << it.key() << ": " << scalar(value) << "\n";
        }
    }
}

}  // namespace

void printText(std::ostream& out, const Json& value) {
    if (isTable(value)) printTable(out, value, "");
    else if (value.is_object()) printObject(out, value, "");
    else out << scalar(value) << "\n";
}

void Output::print(std::ostream& out) const {
    if (json_) {
        // Text from outside (file names, card data) need not be UTF-8: bad bytes become U+FFFD.
        out << result_.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    } else if (text_) {
        text_(out);
    } else if (!result_.empty()) {
        printText(out, result_);
    }
}

}  // namespace kl
