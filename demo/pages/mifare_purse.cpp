#include "pages/mifare_purse.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/mifare_card.h"
#include "pages/mifare_texts.h"
#include "pages/page_context.h"

namespace {
using mifare_text::caption;

constexpr int kSectorList = 1050, kBlockList = 1058, kKeyA = 1051, kKeyB = 1052, kKey = 1053;
constexpr int kValue = 1054, kValueBytes = 1055;
constexpr int kInitialise = 1056, kIncrement = 1057, kDecrement = 1059, kReadValue = 1060;
constexpr int kSectorLabel = 1097, kBlockLabel = 1109, kKeyLabel = 1098, kDataLabel = 1108, kGroup = 1110;
}  // namespace

MifarePurse::MifarePurse(QWidget* parent, int lastSector, MifareCard& card, PageContext& context)
    : QObject(parent), ctx_(context), card_(card) {
    const auto text = [this](mifare_text::Caption index) { return ctx_.text(caption(index)); };
    frame_ = form::frame(parent, kGroup, text(mifare_text::kPurse));
    sector_ = form::numberList(frame_, kSectorList, 0, lastSector);
    block_ = form::numberList(frame_, kBlockList, 1, 2);
    key_a_ = form::radio(frame_, kKeyA, text(mifare_text::kKeyA), true);
    QRadioButton* keyB = form::radio(frame_, kKeyB, text(mifare_text::kKeyB));
    key_ = form::hexEdit(frame_, kKey, 12);
    value_ = form::decEdit(frame_, kValue, 11);
    value_bytes_ = form::hexEdit(frame_, kValueBytes, 8);
    QPushButton* initialise = form::button(frame_, kInitialise, text(mifare_text::kInitialise));
    QPushButton* increment = form::button(frame_, kIncrement, text(mifare_text::kIncrease));
    QPushButton* decrement = form::button(frame_, kDecrement, text(mifare_text::kDecrease));
    QPushButton* balance = form::button(frame_, kReadValue, text(mifare_text::kBalance));

    auto* grid = new QGridLayout(frame_);
    grid->addWidget(form::label(frame_, kSectorLabel, text(mifare_text::kSector)), 0, 0);
    grid->addWidget(sector_, 0, 1);
    grid->addWidget(form::label(frame_, kBlockLabel, text(mifare_text::kBlock)), 0, 2);
    grid->addWidget(block_, 0, 3);
    auto* keys = new QHBoxLayout;
    keys->addWidget(key_a_);
    keys->addWidget(keyB);
    keys->addStretch();
    grid->addLayout(keys, 0, 4, 1, 2);
    grid->addWidget(form::label(frame_, kKeyLabel, text(mifare_text::kKey)), 1, 0);
    grid->addWidget(key_, 1, 1, 1, 3);
    grid->addWidget(form::label(frame_, kDataLabel, text(mifare_text::kData)), 1, 4);
    auto* values = new QHBoxLayout;
    values->addWidget(value_);
    values->addWidget(value_bytes_);
    values->addStretch();
    grid->addLayout(values, 1, 5);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {initialise, increment, decrement, balance}) buttons->addWidget(b);
    grid->addLayout(buttons, 2, 0, 1, 6);

    connect(sector_, &QComboBox::currentIndexChanged, this, &MifarePurse::rebuildBlocks);
    connect(block_, &QComboBox::currentIndexChanged, this, &MifarePurse::rebuildBlocks);
    connect(value_, &QLineEdit::textChanged, this, &MifarePurse::decimalEdited);
    connect(value_bytes_, &QLineEdit::textChanged, this, &MifarePurse::bytesEdited);
    connect(initialise, &QPushButton::clicked, this, [this] { change(Operation::initialise); });
    connect(increment, &QPushButton::clicked, this, [this] { change(Operation::increment); });
    connect(decrement, &QPushButton::clicked, this, [this] { change(Operation::decrement); });
    connect(balance, &QPushButton::clicked, this, &MifarePurse::readValue);
}

void MifarePurse::rebuildBlocks() {
    if (rebuilding_) return;
    rebuilding_ = true;
    const int chosen = form::itemData(block_);
    const int first = form::itemData(sector_) == 0 ? 1 : 0;
    form::fillNumbers(block_, first, 2);
    const int index = block_->findData(chosen);
    block_->setCurrentIndex(index >= 0 ? index : 0);
    rebuilding_ = false;
}

void MifarePurse::decimalEdited() {
    if (syncing_) return;
    syncing_ = true;
    if (value_->text().isEmpty())
        value_bytes_->clear();
    else
        SetHexDword(static_cast<std::uint32_t>(GetDecimalValue(value_)), value_bytes_);
    syncing_ = false;
}

void MifarePurse::bytesEdited() {
    if (syncing_) return;
    syncing_ = true;
    const QByteArray bytes = HexToBytes(value_bytes_).left(4);
    if (bytes.isEmpty()) {
        value_->clear();
    } else {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes.size(); ++i) value |= std::uint32_t(std::uint8_t(bytes[i])) << (8 * i);
        SetDecimalText(value_, static_cast<int>(value));
    }
    syncing_ = false;
}

int MifarePurse::prepare() {
    MifareCard::Key key;
    if (!card_.prepare(key_a_, key_, &key)) return -1;
    const int sector = form::itemData(sector_);
    if (!card_.authenticate(key, 4 * sector)) return -1;
    return 4 * sector + form::itemData(block_);
}

void MifarePurse::change(Operation operation) {
    const int block = prepare();
    if (block < 0) return;
    const int value = GetDecimalValue(value_);
    if (value == -1) {
        ctx_.warningBox(ctx_.message(5));
        return;
    }
    const ReaderApi& api = ctx_.api();
    const auto b = static_cast<unsigned char>(block);
    int status = 0;
    QString label;
    int entry = 0;
    switch (operation) {
    case Operation::initialise:
        status = api.rf_M1_initval(ctx_.address(), b, value);
        label = QStringLiteral("rf_M1_initval");
        entry = 6;
        break;
    case Operation::increment:
        status = api.rf_M1_increment(ctx_.address(), b, value);
        label = QStringLiteral("rf_M1_increment");
        entry = 7;
        break;
    case Operation::decrement:
        status = api.rf_M1_decrement(ctx_.address(), b, value);
        label = QStringLiteral("rf_M1_decrement");
        entry = 8;
        break;
    }
    if (status != 0)
        card_.fail(status, label);
    else
        ctx_.showInfoEntry(entry);
}

void MifarePurse::readValue() {
    value_->clear();
    value_bytes_->clear();
    const int block = prepare();
    if (block < 0) return;
    int value = 0;
    const int status = ctx_.api().rf_M1_readval(ctx_.address(), static_cast<unsigned char>(block), &value);
    if (status != 0) {
        card_.fail(status, QStringLiteral("rf_M1_readval"));
        return;
    }
    syncing_ = true;
    SetDecimalText(value_, value);
    SetHexDword(static_cast<std::uint32_t>(value), value_bytes_);
    syncing_ = false;
    ctx_.showInfoEntry(9);
}
