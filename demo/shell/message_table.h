// Two-column (Chinese, English) text tables: the message table pages refer
// to by number, the result strip's words, and the shape of every caption
// table. Column 0 is shown unless English was chosen.
#pragma once

#include <QString>

struct TextPair {
    const char* zh;
    const char* en;
    QString pick(int language) const;
};

struct MessageTable {
    static constexpr int kCount = 71;
    // Empty for an index outside the table.
    static const TextPair& entry(int index);
    static QString text(int index, int language);
};

// Words of the result strip.
struct StripTexts {
    static const TextPair kSuccessWithLabel;  // " 操作成功"
    static const TextPair kJoiner;            // " ,函数: "
    static const TextPair kSuccess;           // "操作成功"
};
