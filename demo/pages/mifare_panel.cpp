#include "pages/mifare_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "mifare_access.h"
#include "mifare_layout.h"
#include "pages/mifare_card.h"
#include "pages/mifare_texts.h"
#include "pages/page_context.h"

namespace {
using common::mifare::kAccessOffset;
using common::mifare::kBlockSize;
using common::mifare::kKeyAOffset;
using common::mifare::kKeyBOffset;
using common::mifare::kLargestLayout;
using mifare_text::caption;

constexpr int kBlockChars = 32, kKeyChars = 12, kAccessChars = 8;

QLabel* captionLabel(QWidget* parent, int id, mifare_text::Caption text, const PageContext& ctx) {
    return form::label(parent, id, ctx.text(caption(text)));
}

// Places `field`'s bytes at `offset` of `block`, at most `size` of them.
void put(QByteArray* block, int offset, const CHexEdit* field, int size) {
    const QByteArray bytes = HexToBytes(field).left(size);
    block->replace(offset, bytes.size(), bytes);
}
}  // namespace

MifarePanel::MifarePanel(QWidget* parent, const MifarePanelIds& ids, MifareCard& card, PageContext& context)
    : QObject(parent), ctx_(context), card_(card) {
    frame_ = form::frame(parent, ids.group, ctx_.text(caption(mifare_text::kOperation)));
    sector_ = form::numberList(frame_, ids.sectorList, ids.firstSector, ids.lastSector);
    block_ = form::numberList(frame_, ids.blockList, 0, blockCount() - 1);
    key_a_ = form::radio(frame_, ids.keyA, ctx_.text(caption(mifare_text::kKeyA)), true);
    QRadioButton* keyB = form::radio(frame_, ids.keyB, ctx_.text(caption(mifare_text::kKeyB)));
    key_ = form::hexEdit(frame_, ids.key, kKeyChars);
    QPushButton* read = form::button(frame_, ids.read, ctx_.text(caption(mifare_text::kReadCard)));
    write_ = form::button(frame_, ids.write, ctx_.text(caption(mifare_text::kWriteCard)));
    for (int id : ids.rows) rows_.push_back(form::hexEdit(frame_, id, kBlockChars));
    trailer_key_a_ = form::hexEdit(frame_, ids.trailerKeyA, kKeyChars);
    access_ = form::hexEdit(frame_, ids.accessBits, kAccessChars);
    trailer_key_b_ = form::hexEdit(frame_, ids.trailerKeyB, kKeyChars);

    auto* grid = new QGridLayout(frame_);
    grid->setVerticalSpacing(3);
    auto* choice = new QHBoxLayout;
    choice->addWidget(captionLabel(frame_, ids.sectorLabel, mifare_text::kSector, ctx_));
    choice->addWidget(sector_);
    choice->addWidget(captionLabel(frame_, ids.blockLabel, mifare_text::kWriteBlock, ctx_));
    choice->addWidget(block_);
    choice->addStretch();
    choice->addWidget(read);
    choice->addWidget(write_);
    grid->addLayout(choice, 0, 0, 1, 2);
    auto* key = new QHBoxLayout;
    key->addWidget(key_a_);
    key->addWidget(keyB);
    key->addWidget(captionLabel(frame_, ids.keyLabel, mifare_text::kKey, ctx_));
    key->addWidget(key_);
    key->addStretch();
    grid->addLayout(key, 1, 0, 1, 2);
    int row = 2;
    for (std::size_t i = 0; i < rows_.size(); ++i, ++row) {
        grid->addWidget(form::label(frame_, -1, QString::number(i)), row, 0);
        grid->addWidget(rows_[i], row, 1);
    }
    // The trailer's three fields side by side under the data rows, each
    // under its caption.
    const std::pair<const TextPair*, CHexEdit*> trailer[] = {
        {&caption(mifare_text::kKeyA), trailer_key_a_},
        {&mifare_text::kAccessBits, access_},
        {&caption(mifare_text::kKeyB), trailer_key_b_}};
    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(1);
    int column = 0;
    for (const auto& [text, field] : trailer) {
        fields->addWidget(form::label(frame_, -1, ctx_.text(*text)), 0, column);
        fields->addWidget(field, 1, column++);
    }
    fields->setColumnStretch(column, 1);
    grid->addLayout(fields, row, 1);
    grid->setRowStretch(row + 1, 1);  // spare height below the fields

    connect(read, &QPushButton::clicked, this, &MifarePanel::readSector);
    connect(write_, &QPushButton::clicked, this, &MifarePanel::writeBlock);
    connect(sector_, &QComboBox::currentIndexChanged, this, &MifarePanel::applyWriteRule);
    connect(block_, &QComboBox::currentIndexChanged, this, &MifarePanel::applyWriteRule);
}

int MifarePanel::firstBlock() const {
    return static_cast<int>(kLargestLayout.firstBlock(static_cast<unsigned>(form::itemData(sector_))));
}

int MifarePanel::blockCount() const {
    return static_cast<int>(kLargestLayout.blockCount(static_cast<unsigned>(form::itemData(sector_))));
}

void MifarePanel::applyWriteRule() {
    const bool manufacturerBlock = form::itemData(sector_) == 0 && form::itemData(block_) == 0;
    write_->setEnabled(!(ctx_.connected() && manufacturerBlock));
}

void MifarePanel::clearFields() {
    for (CHexEdit* field : rows_) field->clear();
    trailer_key_a_->clear();
    access_->clear();
    trailer_key_b_->clear();
}

void MifarePanel::readSector() {
    clearFields();
    MifareCard::Key key;
    if (!card_.prepare(key_a_, key_, &key)) return;
    const int first = firstBlock();
    if (!card_.authenticate(key, first)) return;
    const int count = blockCount();
    for (int i = 0; i < count; ++i) {
        unsigned char data[256] = {};
        unsigned char length = 0;
        const int status = ctx_.api().rf_M1_read(ctx_.address(), static_cast<unsigned char>(first + i), data, &length);
        if (status != 0 || length != kBlockSize) {
            // The blocks shown so far stay. A block of the wrong length is a
            // failure too, shown with the library's status for one (1).
            card_.fail(status != 0 ? status : 1, QStringLiteral("rf_M1_read"));
            return;
        }
        if (i + 1 < count) {
            BytesToHex(rows_[static_cast<std::size_t>(i)], data, kBlockSize);
        } else {
            BytesToHex(trailer_key_a_, data + kKeyAOffset, kAccessOffset - kKeyAOffset);
            BytesToHex(access_, data + kAccessOffset, kKeyBOffset - kAccessOffset);
            BytesToHex(trailer_key_b_, data + kKeyBOffset, kBlockSize - kKeyBOffset);
        }
    }
    ctx_.showInfoEntry(10);
}

QByteArray MifarePanel::blockData(int block) const {
    QByteArray data(kBlockSize, '\0');
    if (block + 1 < blockCount()) {
        put(&data, 0, rows_[static_cast<std::size_t>(block)], kBlockSize);
    } else {
        put(&data, kKeyAOffset, trailer_key_a_, kAccessOffset - kKeyAOffset);
        put(&data, kAccessOffset, access_, kKeyBOffset - kAccessOffset);
        put(&data, kKeyBOffset, trailer_key_b_, kBlockSize - kKeyBOffset);
    }
    return data;
}

void MifarePanel::writeBlock() {
    MifareCard::Key key;
    if (!card_.prepare(key_a_, key_, &key)) return;
    const int offset = form::itemData(block_);
    const bool trailer = offset + 1 == blockCount();
    if (trailer && !ctx_.confirm(ctx_.message(11))) return;
    const QByteArray data = blockData(offset);
    // Access bits whose inverted copies disagree would lock the sector for
    // good: the card refuses every later authentication there.
    if (trailer &&
        !common::mifare::accessConsistent(reinterpret_cast<const std::uint8_t*>(data.constData()) + kAccessOffset)) {
        ctx_.errorBox(ctx_.text(mifare_text::kBadAccessBits));
        return;
    }
    const int first = firstBlock();
    if (!card_.authenticate(key, first)) return;
    const int status = ctx_.api().rf_M1_write(ctx_.address(), static_cast<unsigned char>(first + offset),
                                              reinterpret_cast<const unsigned char*>(data.constData()));
    if (status != 0)
        card_.fail(status, QStringLiteral("rf_M1_write"));
    else
        ctx_.showInfoEntry(12);
}
