#include "pages/ntag213_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <cstring>

#include "controls/form.h"
#include "controls/hex_text.h"
#include "pages/tag_bytes.h"

namespace {

const TextPair kVersionCaption{"版本", "Version"};
const TextPair kCounterCaption{"计数", "Counter"};
const TextPair kReadVersionCaption{"读取版本号", "Read version"};
const TextPair kReadSignatureCaption{"读取签名", "Read signature"};
const TextPair kReadCounterCaption{"读取计数", "Read counter"};
const TextPair kPasswordCaption{"密码", "Password"};
const TextPair kPasswordAuthCaption{"密码认证", "Password auth"};
const TextPair kPackCaption{"PACK", "PACK"};
const TextPair kStartCaption{"起始页", "Start page"};
const TextPair kEndCaption{"结束页", "End page"};
const TextPair kFastReadCaption{"快速读取", "Fast read"};

constexpr int kPasswordBytes = 4;
constexpr int kLastPage = 44;
constexpr int kDefaultEndPage = 15;

TagLayout ntag213Layout() {
    TagLayout layout;
    layout.pages = kLastPage + 1;
    layout.readPasses = 12;
    layout.selectLabel = "rf_Ntag213_select";
    layout.writeLabel = "rf_Ntag213_write";
    layout.readChecksConnection = true;
    // Page 40: dynamic lock bytes and a reserved byte; 41-43 configuration;
    // page 44: PACK and reserved bytes.
    layout.splits = {{2, 2}, {40, 3}, {44, 2}};
    layout.highlighted = {{2, 1}, {3, 0}, {40, 0}, {41, 0}, {42, 0}, {43, 0}, {44, 0}, {44, 1}};
    layout.confirmWrites = {2, 3, 40, 41, 42, 43, 44};
    return layout;
}

}  // namespace

CNtag213::CNtag213(PageContext& context) : UltralightFamilyPage(context, ntag213Layout()) {
    // The frames keep the captions they were made with.
    CTransFrm* requestFrame = form::frame(this, kRequestFrame, QStringLiteral("寻卡"));
    CTransFrm* infoFrame = form::frame(this, kInformationFrame, QStringLiteral("读取版本计数签名"));
    CTransFrm* readWriteFrame = form::frame(this, kReadWriteFrame, QStringLiteral("读写操作"));

    makeSectorControls(requestFrame);
    auto* search = new QGridLayout(requestFrame);
    search->addWidget(serialCaption_, 0, 0);
    search->addWidget(serial_, 0, 1);
    search->addWidget(request_, 0, 2);
    search->addWidget(sectorCaption_, 0, 3);
    search->addWidget(sector_, 0, 4);
    search->addWidget(selectSector_, 0, 5);
    search->setColumnStretch(6, 1);

    version_ = form::hexEdit(infoFrame, kVersion);
    signature_ = form::hexEdit(infoFrame, kSignature);
    counter_ = form::hexEdit(infoFrame, kCounter);
    password_ = form::hexEdit(infoFrame, kPassword, 2 * kPasswordBytes);
    pack_ = form::hexEdit(infoFrame, kPack);
    form::fitChars(version_, 16);
    form::fitChars(signature_, 64);
    form::fitChars(counter_, 6);
    form::fitChars(pack_, 4);
    QPushButton* readVersion = form::button(infoFrame, kReadVersion, ctx.text(kReadVersionCaption));
    QPushButton* readSignature = form::button(infoFrame, kReadSignature, ctx.text(kReadSignatureCaption));
    QPushButton* readCounter = form::button(infoFrame, kReadCounter, ctx.text(kReadCounterCaption));
    QPushButton* auth = form::button(infoFrame, kPasswordAuth, ctx.text(kPasswordAuthCaption));
    auto* info = new QGridLayout(infoFrame);
    info->addWidget(form::label(infoFrame, -1, ctx.text(kVersionCaption)), 0, 0);
    info->addWidget(version_, 0, 1);
    info->addWidget(readVersion, 0, 2);
    info->addWidget(form::label(infoFrame, -1, ctx.text(kCounterCaption)), 0, 3);
    info->addWidget(counter_, 0, 4);
    info->addWidget(readCounter, 0, 5);
    info->addWidget(signature_, 1, 1, 1, 4);
    info->addWidget(readSignature, 1, 5);
    info->addWidget(form::label(infoFrame, -1, ctx.text(kPasswordCaption)), 2, 0);
    info->addWidget(password_, 2, 1);
    info->addWidget(form::label(infoFrame, -1, ctx.text(kPackCaption)), 2, 3);
    info->addWidget(pack_, 2, 4);
    info->addWidget(auth, 2, 5);

    start_ = form::numberList(readWriteFrame, kStartPage, 0, kLastPage);
    end_ = form::numberList(readWriteFrame, kEndPage, 0, kLastPage);
    end_->setCurrentIndex(end_->findData(kDefaultEndPage));
    QPushButton* fastRead = form::button(readWriteFrame, kFastRead, ctx.text(kFastReadCaption));
    auto* readWrite = new QGridLayout(readWriteFrame);
    readWrite->addWidget(makePageGrid(readWriteFrame, 15), 0, 0, 1, 8);
    readWrite->addWidget(writePageCaption_, 1, 0);
    readWrite->addWidget(writePage_, 1, 1);
    readWrite->addWidget(read_, 1, 2);
    readWrite->addWidget(write_, 1, 3);
    readWrite->addWidget(form::label(readWriteFrame, -1, ctx.text(kStartCaption)), 2, 0);
    readWrite->addWidget(start_, 2, 1);
    readWrite->addWidget(form::label(readWriteFrame, -1, ctx.text(kEndCaption)), 2, 2);
    readWrite->addWidget(end_, 2, 3);
    readWrite->addWidget(fastRead, 2, 4);

    auto* page = new QGridLayout(this);
    page->addWidget(requestFrame, 0, 0);
    page->addWidget(infoFrame, 1, 0);
    page->addWidget(readWriteFrame, 2, 0);

    connect(readVersion, &QPushButton::clicked, this, [this] {
        ReadInformation(ctx.api().rf_Ntag_Get_Version, QStringLiteral("rf_Ntag_get_version"), version_);
    });
    connect(readSignature, &QPushButton::clicked, this, [this] {
        ReadInformation(ctx.api().rf_Ntag_Read_Signature, QStringLiteral("rf_Ntag_Get_Signature"), signature_);
    });
    connect(readCounter, &QPushButton::clicked, this, [this] {
        ReadInformation(ctx.api().rf_Ntag_Read_CNT, QStringLiteral("rf_Ntag_Get_Counter"), counter_);
    });
    connect(auth, &QPushButton::clicked, this, [this] { PasswordAuth(); });
    connect(fastRead, &QPushButton::clicked, this, [this] { FastRead(); });
}

void CNtag213::ReadInformation(Query query, const QString& label, CHexEdit* field) {
    field->clear();
    if (!ctx.requireConnected()) return;
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const int status = query(ctx.address(), reply, &length);
    if (status != 0) {
        ctx.showResult(status, label);
        return;
    }
    BytesToHex(field, reply, length);
    ctx.showInfoEntry(1);
}

void CNtag213::PasswordAuth() {
    if (!ctx.requireConnected()) return;
    unsigned char password[kPasswordBytes] = {};
    const QByteArray typed = HexToBytes(password_);
    std::memcpy(password, typed.constData(), std::min<std::size_t>(typed.size(), kPasswordBytes));
    unsigned char pack[256] = {};
    unsigned char length = 0;
    const int status = ctx.api().rf_Ntag_Password_Auth(ctx.address(), password, pack, &length);
    if (status != 0) {
        ctx.showResult(status, QStringLiteral("rf_Ntag213_Password_Auth"));
        return;
    }
    BytesToHex(pack_, pack, length);
    ctx.showInfoEntry(1);
}

void CNtag213::FastRead() {
    if (!ctx.connected()) {
        ctx.showError(portClosed());
        return;
    }
    const int start = form::itemData(start_);
    const int end = form::itemData(end_);
    if (end < start) {
        ctx.errorBoxEntry(64);
        end_->setFocus();
        return;
    }
    if (end - start >= kFastReadPages) {
        ctx.errorBoxEntry(65);
        end_->setFocus();
        return;
    }
    clearPages();
    unsigned char reply[256] = {};
    unsigned char length = 0;
    const int pages = end - start + 1;
    const int status = ctx.api().rf_Ntag_Fast_Read(ctx.address(), static_cast<unsigned char>(start),
                                                   static_cast<unsigned char>(end), reply, &length);
    if (status != 0 || length != 4 * pages) {
        ctx.showResult(status != 0 ? status : tagpage::kWrongLength, readFailure(start));
        return;
    }
    showPages(start, reply, pages);
    ctx.showInfoEntry(10);
}

TORVIK_PAGE_FACTORY(makeNtag213Page, CNtag213)
