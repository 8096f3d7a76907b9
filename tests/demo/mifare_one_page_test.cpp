// The Mifare 1K page (MIFAREONE) against the simulated reader and card:
// search, write-button rule, sector reads and writes in the three windows,
// the trailer confirmation and the refusal of inconsistent access bits, the
// purse, and the card-ready rule.
#include <QComboBox>
#include <QRadioButton>

#include "cards/type_a.h"
#include "mifare_test_cards.h"

using namespace mifaretest;
using torviktest::TorvikSession;

namespace {

struct Panel {
    int sector, block, keyB, key;
    std::vector<int> rows;
    int trailerKeyA, access, trailerKeyB, read, write;
};
const Panel kPanels[] = {
    {1061, 1094, 1065, 1004, {1076, 1077, 1078}, 1085, 1086, 1087, 1070, 1073},
    {1062, 1095, 1067, 1005, {1079, 1081, 1083}, 1090, 1092, 1089, 1071, 1074},
    {1063, 1096, 1069, 1006, {1080, 1082, 1084}, 1091, 1093, 1088, 1072, 1075},
};

// A type A card whose UID is 5 bytes long, which no Mifare card has.
class OddUidCard : public sim::TypeACard {
public:
    OddUidCard() : TypeACard({0x01, 0x02, 0x03, 0x04, 0x05}, 0x0004, 0x08) {}
    std::string kind() const override { return "odd-uid"; }
};

const QString kReadOk = QStringLiteral("读卡操作成功");
const QString kWriteOk = QStringLiteral("写卡操作成功");

}  // namespace

class MifareOnePageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TorvikSession> s_;
    TorvikSession& s() { return *s_; }
    void start(const QString& card = QStringLiteral("mifare1k:uid=01020304")) {
        s_ = std::make_unique<TorvikSession>(kMifare1K, QStringList{card});
        s().boxes().clear();
    }
    void readSector(const Panel& p, int sector, const QString& key, bool withKeyB = false) {
        s().select(p.sector, sector);
        s().find<QRadioButton>(withKeyB ? p.keyB : p.keyB - 1)->setChecked(true);
        s().setText(p.key, key);
        s().click(p.read);
    }

private slots:
    void cleanup() { s_.reset(); }

    void formIdsCaptionsAndLimits() {
        start();
        QCOMPARE(s().page()->objectName(), QStringLiteral("130"));
        QCOMPARE(s().text(1010), QStringLiteral("寻卡带初始化"));
        QCOMPARE(s().find<CTransFrm>(1020)->caption(), QStringLiteral("寻卡带初始化"));
        QCOMPARE(s().find<CTransFrm>(1110)->caption(), QStringLiteral("钱包功能"));
        for (int group : {1111, 1112, 1113}) QCOMPARE(s().find<CTransFrm>(group)->caption(), QStringLiteral("操作窗口"));
        const std::pair<int, const char*> captions[] = {
            {1018, "天线编号"}, {1019, "卡片UID"}, {1097, "扇区号"}, {1099, "扇区号"}, {1102, "扇区号"},
            {1105, "扇区号"},  {1100, "写卡块号"}, {1103, "写卡块号"}, {1106, "写卡块号"}, {1051, "A 密钥"},
            {1064, "A 密钥"}, {1066, "A 密钥"},  {1068, "A 密钥"},  {1052, "B 密钥"},  {1065, "B 密钥"},
            {1067, "B 密钥"}, {1069, "B 密钥"},  {1098, "密钥"},    {1101, "密钥"},    {1104, "密钥"},
            {1107, "密钥"},   {1108, "数据"},    {1056, "初始化"},  {1057, "充值"},    {1059, "扣款"},
            {1060, "读余额"}, {1070, "读卡"},    {1071, "读卡"},    {1072, "读卡"},    {1073, "写卡"},
            {1074, "写卡"},   {1075, "写卡"},    {1109, "块号"}};
        for (const auto& [id, text] : captions) QCOMPARE(s().text(id), QString::fromUtf8(text));

        auto* antenna = s().find<QComboBox>(1017);
        QCOMPARE(antenna->count(), 5);
        QCOMPARE(antenna->itemText(4), QStringLiteral("5"));
        QCOMPARE(antenna->itemData(4).toInt(), 4);
        QCOMPARE(antenna->currentIndex(), 0);
        for (const Panel& p : kPanels) {
            auto* sectors = s().find<QComboBox>(p.sector);
            QCOMPARE(sectors->count(), 16);
            QCOMPARE(sectors->itemData(15).toInt(), 15);
            QCOMPARE(s().find<QComboBox>(p.block)->count(), 4);
            QVERIFY(s().find<QRadioButton>(p.keyB - 1)->isChecked());
            QCOMPARE(s().find<QLineEdit>(p.key)->maxLength(), 12);
            for (int row : p.rows) QCOMPARE(s().find<QLineEdit>(row)->maxLength(), 32);
            QCOMPARE(s().find<QLineEdit>(p.trailerKeyA)->maxLength(), 12);
            QCOMPARE(s().find<QLineEdit>(p.access)->maxLength(), 8);
            QCOMPARE(s().find<QLineEdit>(p.trailerKeyB)->maxLength(), 12);
        }
        QCOMPARE(s().find<QComboBox>(1050)->count(), 16);
        QCOMPARE(s().find<QLineEdit>(1053)->maxLength(), 12);
        QCOMPARE(s().find<QLineEdit>(1054)->maxLength(), 11);
        QCOMPARE(s().find<QLineEdit>(1055)->maxLength(), 8);
        QVERIFY(s().find<QRadioButton>(1051)->isChecked());
    }

    void searchShowsTheUid() {
        start(QStringLiteral("mifare1k:uid=04112233445566"));
        s().click(1010);
        QCOMPARE(s().text(1049), QStringLiteral("04112233445566"));
        QCOMPARE(s().result(), QStringLiteral("操作成功"));

        s().trigger(32814);  // disconnect
        s().click(1010);
        QCOMPARE(s().result(), QStringLiteral("Error: 设备未连接"));
    }

    void searchWithoutACardEmptiesTheUid() {
        start();
        s().click(1010);
        s().reader()->withReader([](sim::Reader& r) { r.field.clear(); });
        s().click(1010);
        QVERIFY(s().text(1049).isEmpty());
        QVERIFY(s().result().startsWith(QStringLiteral("Error: ")));
        QVERIFY(s().result().endsWith(QStringLiteral(" ,函数: rf_request")));
    }

    // Antenna numbers 2-5 reach the field switch, which takes only 0 and 1.
    void antennaNumbersTwoToFiveFail() {
        start();
        for (int item = 1; item <= 4; ++item) {
            s().select(1017, item);
            s().click(1010);
            QCOMPARE(s().result(), QStringLiteral("Error: 1 ,函数: rf_antenna_sta"));
            QVERIFY(s().text(1049).isEmpty());
        }
        s().select(1017, 0);
        s().click(1010);
        QCOMPARE(s().text(1049), QStringLiteral("01020304"));
    }

    // A UID that is not 4, 7 or 10 bytes long is never selected, and the
    // search says it failed.
    void oddUidLengthIsNeverSelected() {
        start();
        auto odd = std::make_shared<OddUidCard>();
        s().reader()->withReader([&](sim::Reader& r) {
            r.field.clear();
            r.field.place(odd);
        });
        s().click(1010);
        QCOMPARE(s().result(), QStringLiteral("Error: 1 ,函数: rf_anticoll"));
        QVERIFY(s().text(1049).isEmpty());
        QVERIFY(s().reader()->withReader([&](sim::Reader&) { return odd->state() != sim::TypeACard::State::active; }));
    }

    void writeButtonRule() {
        start();
        for (const Panel& p : kPanels) QVERIFY(s().find<QPushButton>(p.write)->isEnabled());  // before a search
        s().click(1010);
        for (const Panel& p : kPanels) {
            auto* write = s().find<QPushButton>(p.write);
            QVERIFY(!write->isEnabled());
            s().select(p.block, 1);
            QVERIFY(write->isEnabled());
            s().select(p.block, 0);
            QVERIFY(!write->isEnabled());
            s().select(p.sector, 1);
            QVERIFY(write->isEnabled());
        }
    }

    // Every sector in each window, key A on one card and key B on another,
    // compared with the card's image.
    void readsEverySectorWithBothKeys_data() {
        QTest::addColumn<bool>("withKeyB");
        QTest::newRow("key A") << false;
        QTest::newRow("key B") << true;
    }
    void readsEverySectorWithBothKeys() {
        QFETCH(bool, withKeyB);
        start();
        placeImage(s(), withKeyB ? kKeyBAccess : kDeliveryAccess);
        const Bytes memory = image(s());
        for (int sector = 0; sector < 16; ++sector) {
            const Panel& p = kPanels[sector % 3];
            readSector(p, sector, hex(withKeyB ? keyB(sector) : keyA(sector)), withKeyB);
            QCOMPARE(s().result(), kReadOk);
            for (int i = 0; i < 3; ++i) QCOMPARE(s().text(p.rows[std::size_t(i)]), hex(block(memory, 4 * sector + i)));
            const TrailerText trailer = shownTrailer(block(memory, 4 * sector + 3), !withKeyB);
            QCOMPARE(s().text(p.trailerKeyA), trailer.keyA);
            QCOMPARE(s().text(p.access), trailer.access);
            QCOMPARE(s().text(p.trailerKeyB), trailer.keyB);
        }
    }

    // A wrong key fails the authentication, leaves the card idle, and the
    // next read searches the card again before it reads.
    void wrongKeyThenSearchAgain() {
        start();
        const Panel& p = kPanels[1];
        readSector(p, 2, QStringLiteral("FFFFFFFFFFFF"));
        QCOMPARE(s().result(), kReadOk);
        s().setText(p.rows[0], QStringLiteral("1234"));
        readSector(p, 2, QStringLiteral("000000000000"));
        QCOMPARE(s().result(), QStringLiteral("Error: 10 ,函数: rf_M1_authentication2"));
        QVERIFY(s().text(p.rows[0]).isEmpty());
        readSector(p, 2, QStringLiteral("FFFFFFFFFFFF"));
        QCOMPARE(s().result(), kReadOk);
        QCOMPARE(s().text(p.rows[0]), QStringLiteral("00000000000000000000000000000000"));
    }

    // Blocks read before a refused block stay on show.
    void blocksShownStayWhenALaterBlockFails() {
        start();
        // Sector 3: block 2 (group 2) readable by nobody (condition 111).
        onCard(s(), [](sim::MifareClassic& card) {
            Bytes memory = card.image();
            const Bytes access = {0xBB, 0x43, 0xC4, 0x69};
            std::copy(access.begin(), access.end(), memory.begin() + 15 * 16 + 6);
            memory[12 * 16] = 0x42;
            card.loadImage(memory, nullptr);
        });
        readSector(kPanels[0], 3, QStringLiteral("FFFFFFFFFFFF"));
        QCOMPARE(s().result(), QStringLiteral("Error: 12 ,函数: rf_M1_read"));
        QCOMPARE(s().text(1076), QStringLiteral("42000000000000000000000000000000"));
        QCOMPARE(s().text(1077), QStringLiteral("00000000000000000000000000000000"));
        QVERIFY(s().text(1078).isEmpty());
        QVERIFY(s().text(1086).isEmpty());
    }

    void writesADataBlockZeroFilled() {
        start();
        const Panel& p = kPanels[2];
        s().select(p.sector, 5);
        s().select(p.block, 1);
        s().setText(p.key, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(p.rows[1], QStringLiteral("0102030405"));
        s().click(p.write);
        QCOMPARE(s().result(), kWriteOk);
        QCOMPARE(hex(block(image(s()), 21)), QStringLiteral("01020304050000000000000000000000"));
        QCOMPARE(s().boxes().count(), 0);
    }

    // Key A, the 4 access bytes and key B go to offsets 0, 6 and 10, after
    // the confirmation; Cancel writes nothing.
    void trailerWriteOffsetsAndConfirmation() {
        start();
        const Panel& p = kPanels[0];
        s().select(p.sector, 4);
        s().select(p.block, 3);
        s().setText(p.key, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(p.trailerKeyA, QStringLiteral("A0A1A2A3A4A5"));
        s().setText(p.access, QStringLiteral("7F078869"));
        s().setText(p.trailerKeyB, QStringLiteral("B0B1B2B3B4B5"));
        const Bytes before = block(image(s()), 19);

        s().boxes().answerNext(QMessageBox::Cancel);
        s().click(p.write);
        QCOMPARE(s().boxes().count(), 1);
        const auto box = s().boxes().last();
        QCOMPARE(box.caption, QStringLiteral("Warning"));
        QCOMPARE(box.text, QStringLiteral("你确实需要写入第3块号的数据吗?此操作有可能造成卡的不可用!"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(block(image(s()), 19), before);

        s().click(p.write);
        QCOMPARE(s().result(), kWriteOk);
        QCOMPARE(hex(block(image(s()), 19)), QStringLiteral("A0A1A2A3A4A57F078869B0B1B2B3B4B5"));
        // The new keys rule the sector now.
        readSector(p, 4, QStringLiteral("B0B1B2B3B4B5"), true);
        QCOMPARE(s().result(), kReadOk);
    }

    // Access bits whose inverted copies disagree would lock the sector for
    // good: refused after the confirmation, nothing written.
    void inconsistentAccessBitsAreRefused() {
        start();
        const Panel& p = kPanels[1];
        s().select(p.sector, 6);
        s().select(p.block, 3);
        s().setText(p.key, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(p.trailerKeyA, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(p.access, QStringLiteral("FF0781"));
        s().setText(p.trailerKeyB, QStringLiteral("FFFFFFFFFFFF"));
        const Bytes before = block(image(s()), 27);
        s().click(p.write);
        QCOMPARE(s().boxes().count(), 2);
        QCOMPARE(s().boxes().boxes()[0].caption, QStringLiteral("Warning"));
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(s().boxes().last().icon, QMessageBox::Critical);
        QVERIFY(s().boxes().last().text.contains(QStringLiteral("控制位")));
        QCOMPARE(block(image(s()), 27), before);
        // An access field left short is zero-filled, which is just as bad.
        s().setText(p.access, QString());
        s().click(p.write);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(block(image(s()), 27), before);
    }

    void keyMustBeSixBytes() {
        start();
        for (const QString& key : {QString(), QStringLiteral("FFFFFFFFFF")}) {
            s().boxes().clear();
            s().setText(1004, key);
            s().click(1070);
            QCOMPARE(s().boxes().count(), 1);
            QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
            QCOMPARE(s().boxes().last().text, QStringLiteral("请在密钥区输入6个字节的密钥"));
            QCOMPARE(s().boxes().last().icon, QMessageBox::Critical);
        }
        s().setText(1053, QStringLiteral("FFFF"));
        s().setText(1054, QStringLiteral("1"));
        s().click(1056);
        QCOMPARE(s().boxes().last().text, QStringLiteral("请在密钥区输入6个字节的密钥"));
    }

    void valueFieldsKeptInStep() {
        start();
        s().setText(1054, QStringLiteral("100"));
        QCOMPARE(s().text(1055), QStringLiteral("64000000"));
        s().setText(1054, QStringLiteral("-2"));
        QCOMPARE(s().text(1055), QStringLiteral("FEFFFFFF"));
        s().setText(1055, QStringLiteral("1027"));
        QCOMPARE(s().text(1054), QStringLiteral("10000"));
        QCOMPARE(s().text(1055), QStringLiteral("1027"));  // not rewritten in turn
        s().setText(1055, QStringLiteral("FFFFFFFF"));
        QCOMPARE(s().text(1054), QStringLiteral("-1"));
        s().setText(1055, QString());
        QVERIFY(s().text(1054).isEmpty());
    }

    // The purse offers blocks 1, 2 in sector 0 and 0-2 elsewhere, never the
    // trailer; the block chosen stays where it can.
    void purseBlockListFollowsTheSector() {
        start();
        auto* blocks = s().find<QComboBox>(1058);
        const auto offered = [blocks] {
            QList<int> data;
            for (int i = 0; i < blocks->count(); ++i) data << blocks->itemData(i).toInt();
            return data;
        };
        QCOMPARE(offered(), (QList<int>{1, 2}));
        QCOMPARE(blocks->itemText(0), QStringLiteral("1"));
        s().select(1058, 2);
        s().select(1050, 7);
        QCOMPARE(offered(), (QList<int>{0, 1, 2}));
        QCOMPARE(form::itemData(blocks), 2);
        s().select(1058, 0);
        s().select(1050, 15);
        QCOMPARE(form::itemData(blocks), 0);
        s().select(1050, 0);
        QCOMPARE(offered(), (QList<int>{1, 2}));
        QCOMPARE(form::itemData(blocks), 1);
    }

    void purseRoundTrip() {
        start();
        s().select(1050, 1);
        s().select(1058, 0);
        s().setText(1053, QStringLiteral("FFFFFFFFFFFF"));
        s().click(1056);  // empty value
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Warning"));
        QCOMPARE(s().boxes().last().text, QStringLiteral("请在数据区输入数据"));
        QCOMPARE(s().boxes().last().icon, QMessageBox::Warning);

        s().setText(1054, QStringLiteral("100"));
        s().click(1056);
        QCOMPARE(s().result(), QStringLiteral("初始化钱包操作成功"));
        s().setText(1054, QStringLiteral("50"));
        s().click(1057);
        QCOMPARE(s().result(), QStringLiteral("充值操作成功"));
        s().setText(1054, QStringLiteral("30"));
        s().click(1059);
        QCOMPARE(s().result(), QStringLiteral("扣款操作成功"));
        s().setText(1054, QStringLiteral("999"));
        s().click(1060);
        QCOMPARE(s().result(), QStringLiteral("读余额操作成功"));
        QCOMPARE(s().text(1054), QStringLiteral("120"));
        QCOMPARE(s().text(1055), QStringLiteral("78000000"));
        // The value block format: value, its inverse, value, address 4 twice.
        QCOMPARE(hex(block(image(s()), 4)), QStringLiteral("7800000087FFFFFF7800000004FB04FB"));

        // A block that holds no value: the failure is shown, the fields stay empty.
        s().select(1058, 1);
        s().click(1060);
        QVERIFY(s().result().endsWith(QStringLiteral(" ,函数: rf_M1_readval")));
        QVERIFY(s().text(1054).isEmpty());
        QVERIFY(s().text(1055).isEmpty());
    }
};

TORVIK_TEST_MAIN(MifareOnePageTest)
#include "mifare_one_page_test.moc"
