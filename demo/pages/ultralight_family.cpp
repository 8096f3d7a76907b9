#include "pages/ultralight_family.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cstring>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/tag_bytes.h"

using namespace ultralight;

namespace {

const TextPair kSerialCaption{"SN0.......SN6", "SN0.......SN6"};
const TextPair kWritePageCaption{"写卡页地址", "Write page"};
const TextPair kRequestCaption{"寻卡", "Request"};
const TextPair kReadCaption{"读卡", "Read"};
const TextPair kWriteCaption{"写卡", "Write"};
const TextPair kSectorCaption{"NFC扇区", "NFC sector"};
const TextPair kSelectSectorCaption{"选择扇区", "Select sector"};
const TextPair kPortClosed{"端口未打开", "Port not open"};

constexpr int kPageBytes = 4;
constexpr int kPassBytes = 16;  // a read answers four pages
constexpr int kSerialBytes = 7;
constexpr int kFirstWritablePage = 2;
constexpr int kDefaultWritePage = 4;
constexpr int kLastSector = 254;

// Lock, OTP and configuration fields: yellow on red.
const char* const kHighlight = "QLineEdit { color: rgb(255, 255, 0); background-color: rgb(240, 0, 0); }";

}  // namespace

UltralightFamilyPage::UltralightFamilyPage(PageContext& context, TagLayout layout)
    : CardPage(context), layout_(std::move(layout)) {
    serialCaption_ = form::label(this, -1, ctx.text(kSerialCaption));
    serial_ = form::hexEdit(this, kSerial, 2 * kSerialBytes);
    request_ = form::button(this, kRequest, ctx.text(kRequestCaption));
    read_ = form::button(this, kRead, ctx.text(kReadCaption));
    write_ = form::button(this, kWrite, ctx.text(kWriteCaption));
    writePageCaption_ = form::label(this, -1, ctx.text(kWritePageCaption));
    writePage_ = form::numberList(this, kWritePage, kFirstWritablePage, layout_.pages - 1);
    writePage_->setCurrentIndex(writePage_->findData(kDefaultWritePage));

    fields_.resize(layout_.pages);
    for (const TagLayout::Split& split : layout_.splits) fields_[split.page].firstBytes = split.firstBytes;
    for (int p = 0; p < layout_.pages; ++p) {
        PageFields& f = fields_[p];
        f.number = form::label(this, kPageNumber + p, QString::number(p));
        f.number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f.first = form::hexEdit(this, kPageField + p, 2 * f.firstBytes);
        if (f.firstBytes < kPageBytes) f.second = form::hexEdit(this, kPageSecond + p, 2 * (kPageBytes - f.firstBytes));
    }
    for (const TagLayout::Mark& mark : layout_.highlighted) {
        PageFields& f = fields_[mark.page];
        (mark.field == 0 ? f.first : f.second)->setStyleSheet(QString::fromLatin1(kHighlight));
    }

    connect(request_, &QPushButton::clicked, this, [this] { Request(); });
    connect(read_, &QPushButton::clicked, this, [this] { Read(); });
    connect(write_, &QPushButton::clicked, this, [this] { Write(); });
}

QWidget* UltralightFamilyPage::makePageGrid(QWidget* parent, int rows) {
    auto* grid = new QWidget(parent);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(2);
    for (int p = 0; p < layout_.pages; ++p) {
        const PageFields& f = fields_[p];
        const int row = p % rows;
        const int col = 4 * (p / rows);
        layout->addWidget(f.number, row, col);
        if (f.second) {
            layout->addWidget(f.first, row, col + 1);
            layout->addWidget(f.second, row, col + 2);
        } else {
            layout->addWidget(f.first, row, col + 1, 1, 2);
        }
        if (col > 0) layout->setColumnMinimumWidth(col - 1, 12);
    }
    return grid;
}

void UltralightFamilyPage::makeSectorControls(QWidget* parent) {
    sectorCaption_ = form::label(parent, -1, ctx.text(kSectorCaption));
    sector_ = form::numberList(parent, kSector, 0, kLastSector);
    selectSector_ = form::button(parent, kSelectSector, ctx.text(kSelectSectorCaption));
    connect(selectSector_, &QPushButton::clicked, this, [this] { SelectSector(); });
}

QString UltralightFamilyPage::portClosed() const { return ctx.text(kPortClosed); }

QString UltralightFamilyPage::readFailure(int number) const {
    return ctx.message(13).replace(QStringLiteral("%d"), QString::number(number));
}

void UltralightFamilyPage::clearPages() {
    for (PageFields& f : fields_) {
        f.first->clear();
        if (f.second) f.second->clear();
    }
}

void UltralightFamilyPage::showPages(int firstPage, const unsigned char* reply, int count) {
    for (int i = 0; i < count; ++i) {
        const int p = firstPage + i;
        if (p < 0 || p >= layout_.pages) continue;
        PageFields& f = fields_[p];
        const unsigned char* bytes = reply + i * kPageBytes;
        BytesToHex(f.first, bytes, f.firstBytes);
        if (f.second) BytesToHex(f.second, bytes + f.firstBytes, kPageBytes - f.firstBytes);
    }
}

void UltralightFamilyPage::Request() {
    serial_->clear();
    if (!ctx.requireConnected()) return;
    const ReaderApi& api = ctx.api();
    const int address = ctx.address();
    constexpr unsigned char kTypeA = 0x41;
    constexpr unsigned char kAllCards = 0x52;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int status = api.rf_antenna_sta(address, 0);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
            continue;
        }
        status = api.rf_init_type(address, kTypeA);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_init_type"));
            continue;
        }
        ctx.pause(20);
        status = api.rf_antenna_sta(address, 1);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
            continue;
        }
        unsigned char tagType[2] = {};
        status = api.rf_request(address, kAllCards, tagType);
        if (status != 0) {
            ctx.showResult(status, QStringLiteral("rf_request"));
            continue;
        }
        unsigned char uid[256] = {};
        unsigned char length = 0;
        status = api.rf_ul_select(address, uid, &length);
        if (status != 0) {
            ctx.showResult(status, QString::fromLatin1(layout_.selectLabel));
            continue;
        }
        clearPages();
        BytesToHex(serial_, uid, length);
        ctx.showInfoEntry(3);
        return;
    }
}

bool UltralightFamilyPage::reselect() {
    constexpr unsigned char kWakeAll = 0x52;
    unsigned char tagType[2] = {};
    unsigned char uid[256] = {};
    unsigned char length = 0;
    return ctx.api().rf_request(ctx.address(), kWakeAll, tagType) == 0 &&
           ctx.api().rf_ul_select(ctx.address(), uid, &length) == 0;
}

bool UltralightFamilyPage::readPage(int page, unsigned char* reply) {
    unsigned char length = 0;
    const int status = ctx.api().rf_M1_read(ctx.address(), static_cast<unsigned char>(page), reply, &length);
    return status == 0 && length == kPassBytes;
}

int UltralightFamilyPage::confirmTail(int start, int last, bool tagIdle, int* status) {
    *status = 0;
    if (start < 0 || last <= start) return -1;
    unsigned char reply[256] = {};
    // A read answers its first page or nothing; the readable pages run from
    // page 0 without a gap, so a readable `last` vouches for all before it.
    if (!tagIdle && readPage(last, reply)) return -1;
    int first = last + 1;
    if (reselect()) {
        for (int p = start + 1; p <= last; ++p) {
            unsigned char length = 0;
            const int probe = ctx.api().rf_M1_read(ctx.address(), static_cast<unsigned char>(p), reply, &length);
            if (probe != 0 || length != kPassBytes) {
                *status = probe != 0 ? probe : tagpage::kWrongLength;
                first = p;
                reselect();
                break;
            }
        }
        if (first > last) return -1;
    } else {
        first = start + 1;
        *status = tagpage::kWrongLength;
    }
    for (int p = first; p <= last && p < layout_.pages; ++p) {
        fields_[p].first->clear();
        if (fields_[p].second) fields_[p].second->clear();
    }
    return first;
}

void UltralightFamilyPage::Read() {
    if (layout_.readChecksConnection && !ctx.connected()) {
        ctx.showError(portClosed());
        return;
    }
    clearPages();
    int lastStart = -1;
    for (int pass = 0; pass < layout_.readPasses; ++pass) {
        unsigned char reply[256] = {};
        unsigned char length = 0;
        const int page = pass * 4;
        const int status = ctx.api().rf_M1_read(ctx.address(), static_cast<unsigned char>(page), reply, &length);
        if (status != 0 || length != kPassBytes) {
            int ignored = 0;
            confirmTail(lastStart, page - 1, status != 0, &ignored);
            ctx.showResult(status != 0 ? status : tagpage::kWrongLength, readFailure(pass));
            return;
        }
        showPages(page, reply, 4);
        lastStart = page;
    }
    int status = 0;
    const int unreadable = confirmTail(lastStart, std::min(layout_.pages, 4 * layout_.readPasses) - 1, false, &status);
    if (unreadable >= 0) {
        ctx.showResult(status, readFailure(unreadable / 4));
        return;
    }
    ctx.showInfoEntry(10);
}

void UltralightFamilyPage::Write() {
    if (!ctx.requireConnected()) return;
    const int page = form::itemData(writePage_);
    if (page < 0 || page >= layout_.pages) return;
    const auto& asks = layout_.confirmWrites;
    if (std::find(asks.begin(), asks.end(), page) != asks.end() &&
        !ctx.confirm(ctx.message(66), QMessageBox::Warning)) {
        return;
    }
    // Missing bytes stay 0; a split page's second field continues where the
    // first one's bytes end.
    unsigned char pageData[kPageBytes] = {};
    const PageFields& f = fields_[page];
    const QByteArray first = HexToBytes(f.first);
    std::memcpy(pageData, first.constData(), std::min<std::size_t>(first.size(), kPageBytes));
    if (f.second) {
        const QByteArray second = HexToBytes(f.second);
        std::memcpy(pageData + f.firstBytes, second.constData(),
                    std::min<std::size_t>(second.size(), kPageBytes - f.firstBytes));
    }
    const int status = ctx.api().rf_ul_write(ctx.address(), static_cast<unsigned char>(page), pageData);
    ctx.report(status, QString::fromLatin1(layout_.writeLabel), 12);
}

void UltralightFamilyPage::SelectSector() {
    if (!ctx.requireConnected()) return;
    const int status = ctx.api().rf_NFC_Select_Sector(ctx.address(), static_cast<unsigned char>(form::itemData(sector_)));
    ctx.report(status, QStringLiteral("rf_NFC_Select_Sector"), 1);
}
