#include "pages/at88rf020_page.h"

#include <QGridLayout>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/chip_steps.h"

namespace {
const TextPair kRequestText = {"寻卡", "Search Card"};
const TextPair kCheckText = {"验证", "Check"};
const TextPair kLockText = {"LOCK", "LOCK"};
const TextPair kCountText = {"记数", "Count"};
const TextPair kReadText = {"读卡", "Read Card"};
const TextPair kWriteText = {"写卡", "Write Card"};
const TextPair kDeselectText = {"DESELECT", "DESELECT"};
const TextPair kPupiText = {"PUPI", "PUPI"};
const TextPair kPasswordText = {"密码", "Password"};
const TextPair kLockNameText = {"LOCK", "LOCK"};
const TextPair kSignatureText = {"签名", "Signature"};
const TextPair kWritePageText = {"写卡页", "Write page"};

constexpr unsigned char kAt88Type = 0x72;  // rf_init_type: AT88RF020
constexpr int kPages = 32;
constexpr int kPageSize = 8;
constexpr int kLockPage = 0;
constexpr int kCounterPage = 2;
constexpr int kPasswordPage = 3;
constexpr int kAtqbLength = 12;
constexpr int kLargestReply = 252;
constexpr int kRequestAttempts = 2;
constexpr int kPasswordBytes = 8;
constexpr int kLockBytes = 4;
constexpr int kSignatureBytes = 6;

// Message table entries.
constexpr int kDone = 1;
constexpr int kSearchDone = 3;
constexpr int kReadDone = 10;
constexpr int kWriteDone = 12;
constexpr int kReadPageFailed = 13;
constexpr int kPasswordLength = 14;
constexpr int kCheckDone = 15;
constexpr int kLockLength = 16;
constexpr int kLockDone = 17;
constexpr int kSignatureLength = 18;
constexpr int kCountDone = 19;
}  // namespace

CAT88RF020::CAT88RF020(PageContext& context) : CardPage(context) {
    pupi_ = form::hexEdit(this, kPupi, 2 * 4);
    password_ = form::hexEdit(this, kPassword, 2 * kPasswordBytes);
    lockField_ = form::hexEdit(this, kLockField, 2 * kLockBytes);
    signature_ = form::hexEdit(this, kSignature, 2 * kSignatureBytes);
    QPushButton* check = form::button(this, kCheck, ctx.text(kCheckText));
    QPushButton* lock = form::button(this, kLock, ctx.text(kLockText));
    QPushButton* count = form::button(this, kCount, ctx.text(kCountText));
    QPushButton* request = form::button(this, kRequest, ctx.text(kRequestText));
    QPushButton* read = form::button(this, kRead, ctx.text(kReadText));
    QPushButton* write = form::button(this, kWrite, ctx.text(kWriteText));
    QPushButton* deselect = form::button(this, kDeselect, ctx.text(kDeselectText));
    // Page 0 changes only through LOCK and page 2 only through COUNT.
    pageSelector_ = form::numberList(this, kPageSelector, kPasswordPage, kPages - 1);
    pageSelector_->insertItem(0, QStringLiteral("1"), 1);
    pageSelector_->setCurrentIndex(0);

    auto* operations = new QGridLayout;
    form::addRows(operations, {{form::label(this, -1, ctx.text(kPupiText)), pupi_}});
    operations->addWidget(request, 0, 2);
    form::addRows(operations, {{form::label(this, -1, ctx.text(kPasswordText)), password_}}, 1);
    operations->addWidget(check, 1, 2);
    form::addRows(operations, {{form::label(this, -1, ctx.text(kLockNameText)), lockField_}}, 2);
    operations->addWidget(lock, 2, 2);
    form::addRows(operations, {{form::label(this, -1, ctx.text(kSignatureText)), signature_}}, 3);
    operations->addWidget(count, 3, 2);
    form::addRows(operations, {{form::label(this, -1, ctx.text(kWritePageText)), pageSelector_}}, 4);
    operations->addWidget(write, 4, 2);
    operations->addWidget(read, 5, 0);
    operations->addWidget(deselect, 5, 2);
    operations->setRowStretch(6, 1);

    auto* blocks = new QGridLayout;
    blocks->setVerticalSpacing(2);
    pages_.resize(kPages);
    for (int n = 0; n < kPages; ++n) {
        const int row = n % 16;
        const int column = (n / 16) * 3;
        blocks->addWidget(form::label(this, kFirstPageLabel + n, QStringLiteral("PAGE%1").arg(n)), row, column,
                          Qt::AlignRight);
        // Pages 0 and 1 in two halves of 4 bytes, page 2 as signature and
        // counter, the rest whole.
        std::vector<int> widths = {kPageSize};
        if (n == kLockPage || n == 1) widths = {4, 4};
        if (n == kCounterPage) widths = {kSignatureBytes, 2};
        auto* fields = new QHBoxLayout;
        fields->setSpacing(2);
        for (std::size_t i = 0; i < widths.size(); ++i) {
            CHexEdit* field = form::hexEdit(this, (i == 0 ? kFirstPageField : kSecondPageField) + n, 2 * widths[i]);
            fields->addWidget(field, widths[i]);
            pages_[n].push_back({field, widths[i]});
        }
        blocks->addLayout(fields, row, column + 1);
    }
    blocks->setColumnMinimumWidth(2, 12);

    auto* page = new QGridLayout(this);
    page->setHorizontalSpacing(24);
    page->addLayout(operations, 0, 0);
    page->addLayout(blocks, 0, 1);

    connect(request, &QPushButton::clicked, this, &CAT88RF020::RequestCard);
    connect(check, &QPushButton::clicked, this, &CAT88RF020::CheckPassword);
    connect(lock, &QPushButton::clicked, this, &CAT88RF020::LockPages);
    connect(count, &QPushButton::clicked, this, &CAT88RF020::CountSignature);
    connect(read, &QPushButton::clicked, this, &CAT88RF020::ReadCard);
    connect(write, &QPushButton::clicked, this, &CAT88RF020::WritePage);
    connect(deselect, &QPushButton::clicked, this, &CAT88RF020::Deselect);
}

void CAT88RF020::clearPage(int page) {
    for (const Part& part : pages_[page]) part.field->clear();
}

void CAT88RF020::showPage(int page, const unsigned char* content) {
    int offset = 0;
    for (const Part& part : pages_[page]) {
        BytesToHex(part.field, content + offset, part.bytes);
        offset += part.bytes;
    }
}

QByteArray CAT88RF020::pageInput(int page) const {
    QByteArray content(kPageSize, '\0');
    int offset = 0;
    for (const Part& part : pages_[page]) {
        const QByteArray typed = HexToBytes(part.field).left(part.bytes);
        content.replace(offset, typed.size(), typed);
        offset += part.bytes;
    }
    return content;
}

int CAT88RF020::readPage(int page) {
    unsigned char content[kPageSize] = {};
    unsigned char length = 0;
    const int status = ctx.api().rf_at020_read(ctx.address(), static_cast<unsigned char>(page), content, &length);
    if (status != 0) return status;
    if (length != kPageSize) return 1;
    showPage(page, content);
    return 0;
}

bool CAT88RF020::attemptRequest() {
    const ReaderApi& api = ctx.api();
    const int address = ctx.address();
    int status = api.rf_antenna_sta(address, 0);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
        return false;
    }
    ctx.pause(20);
    status = api.rf_init_type(address, kAt88Type);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_init_type"));
        return false;
    }
    ctx.pause(20);
    status = api.rf_antenna_sta(address, 1);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_antenna_sta"));
        return false;
    }
    ctx.pause(50);
    unsigned char answer[kLargestReply] = {};
    unsigned char length = 0;
    status = api.rf_atqb(address, 0, answer, &length);
    if (status != 0 || length != kAtqbLength) {
        // An answer of the wrong length is a failure, never "操作成功".
        ctx.showResult(status != 0 ? status : 1, QStringLiteral("rf_atqb"));
        return false;
    }
    BytesToHex(pupi_, answer + 1, 4);
    return true;
}

void CAT88RF020::RequestCard() {
    for (int page = 0; page < kPages; ++page) clearPage(page);
    if (!ctx.requireConnected()) return;
    for (int attempt = 0; attempt < kRequestAttempts; ++attempt) {
        if (attemptRequest()) {
            password_->setFocus();
            ctx.showInfoEntry(kSearchDone);
            return;
        }
    }
    pupi_->clear();
}

bool CAT88RF020::fieldHolds(const CHexEdit* field, int bytes, int entry) const {
    if (HexToBytes(field).size() == bytes) return true;
    ctx.errorBoxEntry(entry);
    return false;
}

void CAT88RF020::CheckPassword() {
    if (!ctx.requireConnected()) return;
    if (!fieldHolds(password_, kPasswordBytes, kPasswordLength)) return;
    const QByteArray password = HexToBytes(password_);
    const int status =
        ctx.api().rf_at020_check(ctx.address(), reinterpret_cast<const unsigned char*>(password.constData()));
    ctx.report(status, QStringLiteral("rf_at020_check"), kCheckDone);
}

void CAT88RF020::showChangedPage(int status, const char* label, int page, int entry) {
    // A refused command ends here: the page is not read back and no success shown.
    if (status != 0) {
        ctx.showResult(status, QString::fromLatin1(label));
        return;
    }
    status = readPage(page);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_at020_read"));
        return;
    }
    ctx.showInfoEntry(entry);
}

void CAT88RF020::LockPages() {
    if (!ctx.requireConnected()) return;
    clearPage(kLockPage);
    if (!fieldHolds(lockField_, kLockBytes, kLockLength)) return;
    const QByteArray bits = HexToBytes(lockField_);
    showChangedPage(ctx.api().rf_at020_lock(ctx.address(), reinterpret_cast<const unsigned char*>(bits.constData())),
                    "rf_at020_lock", kLockPage, kLockDone);
}

void CAT88RF020::CountSignature() {
    if (!ctx.requireConnected()) return;
    clearPage(kCounterPage);
    if (!fieldHolds(signature_, kSignatureBytes, kSignatureLength)) return;
    const QByteArray signature = HexToBytes(signature_);
    showChangedPage(
        ctx.api().rf_at020_count(ctx.address(), reinterpret_cast<const unsigned char*>(signature.constData())),
        "rf_at020_count", kCounterPage, kCountDone);
}

void CAT88RF020::ReadCard() {
    if (!ctx.requireConnected()) return;
    // The password page is never read, and its field (a password about to
    // be written) is left as typed.
    for (int page = 0; page < kPages; ++page)
        if (page != kPasswordPage) clearPage(page);
    for (int page = 0; page < kPages; ++page) {
        if (page == kPasswordPage) continue;
        const int status = readPage(page);
        if (status != 0) {
            chipsteps::readFailure(ctx, status, kReadPageFailed, page);
            return;
        }
    }
    ctx.showInfoEntry(kReadDone);
}

void CAT88RF020::WritePage() {
    if (!ctx.requireConnected()) return;
    const int page = form::itemData(pageSelector_);
    if (page < 0 || page >= kPages) return;
    const QByteArray content = pageInput(page);
    const int status = ctx.api().rf_at020_write(ctx.address(), static_cast<unsigned char>(page),
                                                reinterpret_cast<const unsigned char*>(content.constData()));
    ctx.report(status, QStringLiteral("rf_at020_write"), kWriteDone);
}

void CAT88RF020::Deselect() {
    if (!ctx.requireConnected()) return;
    ctx.report(ctx.api().rf_at020_deselect(ctx.address()), QStringLiteral("rf_at020_deselect"), kDone);
}

TORVIK_PAGE_FACTORY(makeAT88RF020Page, CAT88RF020)
