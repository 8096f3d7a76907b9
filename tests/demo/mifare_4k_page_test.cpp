// The Mifare 4K page (CMifare4K) against the simulated reader and card: the
// window over the small sectors 0-31, the window over the large sectors
// 32-39 (16 blocks, block numbers up to 255), the write-button rule on both,
// and the purse limited to the small sectors.
#include <QComboBox>
#include <QRadioButton>

#include "mifare_test_cards.h"

using namespace mifaretest;
using torviktest::TorvikSession;

namespace {

struct Panel {
    int sector, block, keyA, keyB, key;
    std::vector<int> rows;
    int trailerKeyA, access, trailerKeyB, read, write;
};
const Panel kSmall = {1061, 1094, 1067, 1068, 1037, {1032, 1033, 1076}, 1034, 1035, 1036, 1048, 1063};
const Panel kLarge = {1062, 1095, 1064, 1065, 1045,
                      {1030, 1031, 1077, 1081, 1082, 1038, 1042, 1091, 1093, 1096, 1105, 1106, 1107, 1113, 1114},
                      1039, 1040, 1041, 1046, 1047};

int firstBlock(int sector) { return sector < 32 ? 4 * sector : 128 + 16 * (sector - 32); }

const QString kReadOk = QStringLiteral("读卡操作成功");

}  // namespace

class Mifare4KPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TorvikSession> s_;
    TorvikSession& s() { return *s_; }
    void start() {
        s_ = std::make_unique<TorvikSession>(kMifare4K, QStringList{QStringLiteral("mifare4k:uid=0A0B0C0D")});
        s().boxes().clear();
    }
    void readSector(const Panel& p, int sector, const QString& key, bool withKeyB) {
        s().select(p.sector, sector);
        s().find<QRadioButton>(withKeyB ? p.keyB : p.keyA)->setChecked(true);
        s().setText(p.key, key);
        s().click(p.read);
    }
    // The read of `sector` shows what the card holds.
    void compareSector(const Panel& p, const Bytes& memory, int sector, bool keyBReadable) {
        const int first = firstBlock(sector), count = sector < 32 ? 4 : 16;
        for (int i = 0; i + 1 < count; ++i) QCOMPARE(s().text(p.rows[std::size_t(i)]), hex(block(memory, first + i)));
        const TrailerText trailer = shownTrailer(block(memory, first + count - 1), keyBReadable);
        QCOMPARE(s().text(p.trailerKeyA), trailer.keyA);
        QCOMPARE(s().text(p.access), trailer.access);
        QCOMPARE(s().text(p.trailerKeyB), trailer.keyB);
    }

private slots:
    void cleanup() { s_.reset(); }

    void formIdsCaptionsAndLimits() {
        start();
        QCOMPARE(s().page()->objectName(), QStringLiteral("166"));
        for (int group : {1111, 1112}) QCOMPARE(s().find<CTransFrm>(group)->caption(), QStringLiteral("操作窗口"));
        QCOMPARE(s().find<CTransFrm>(1020)->caption(), QStringLiteral("寻卡带初始化"));
        QCOMPARE(s().find<CTransFrm>(1110)->caption(), QStringLiteral("钱包功能"));
        QVERIFY(!s().find(1113) || !qobject_cast<CTransFrm*>(s().find(1113)));  // 1113 is a data row here
        const std::pair<int, const char*> captions[] = {
            {1018, "天线编号"}, {1019, "卡片UID"}, {1010, "寻卡带初始化"}, {1097, "扇区号"}, {1109, "块号"},
            {1051, "A 密钥"},   {1052, "B 密钥"},  {1098, "密钥"},        {1108, "数据"},   {1056, "初始化"},
            {1057, "充值"},     {1059, "扣款"},    {1060, "读余额"},      {1099, "扇区号"}, {1102, "扇区号"},
            {1100, "写卡块号"}, {1103, "写卡块号"}, {1101, "密钥"},        {1104, "密钥"},   {1064, "A 密钥"},
            {1065, "B 密钥"},   {1048, "读卡"},    {1046, "读卡"},        {1063, "写卡"},   {1047, "写卡"}};
        for (const auto& [id, text] : captions) QCOMPARE(s().text(id), QString::fromUtf8(text));

        auto* small = s().find<QComboBox>(kSmall.sector);
        QCOMPARE(small->count(), 32);
        QCOMPARE(small->itemData(31).toInt(), 31);
        auto* large = s().find<QComboBox>(kLarge.sector);
        QCOMPARE(large->count(), 8);
        QCOMPARE(large->itemText(0), QStringLiteral("32"));
        QCOMPARE(large->itemData(7).toInt(), 39);
        QCOMPARE(s().find<QComboBox>(kSmall.block)->count(), 4);
        auto* largeBlocks = s().find<QComboBox>(kLarge.block);
        QCOMPARE(largeBlocks->count(), 16);
        QCOMPARE(largeBlocks->itemData(15).toInt(), 15);
        for (const Panel* p : {&kSmall, &kLarge}) {
            QVERIFY(s().find<QRadioButton>(p->keyA)->isChecked());
            QCOMPARE(s().find<QLineEdit>(p->key)->maxLength(), 12);
            for (int row : p->rows) QCOMPARE(s().find<QLineEdit>(row)->maxLength(), 32);
            QCOMPARE(s().find<QLineEdit>(p->trailerKeyA)->maxLength(), 12);
            QCOMPARE(s().find<QLineEdit>(p->access)->maxLength(), 8);
            QCOMPARE(s().find<QLineEdit>(p->trailerKeyB)->maxLength(), 12);
        }
        QVERIFY(s().find<QRadioButton>(1051)->isChecked());
    }

    // Every sector, the small ones in window 1 and the large ones in window
    // 2, with key A and with key B, compared with the card's image.
    void readsEverySector_data() {
        QTest::addColumn<bool>("withKeyB");
        QTest::newRow("key A") << false;
        QTest::newRow("key B") << true;
    }
    void readsEverySector() {
        QFETCH(bool, withKeyB);
        start();
        placeImage(s(), withKeyB ? kKeyBAccess : kDeliveryAccess);
        const Bytes memory = image(s());
        for (int sector = 0; sector < 40; ++sector) {
            const Panel& p = sector < 32 ? kSmall : kLarge;
            readSector(p, sector, hex(withKeyB ? keyB(sector) : keyA(sector)), withKeyB);
            QCOMPARE(s().result(), kReadOk);
            compareSector(p, memory, sector, !withKeyB);
        }
    }

    // Sector 32 starts at block 128: its own key opens it there.
    void sector32Read() {
        start();
        placeImage(s(), kDeliveryAccess);
        readSector(kLarge, 32, hex(keyA(32)), false);
        QCOMPARE(s().result(), kReadOk);
        compareSector(kLarge, image(s()), 32, true);
        QCOMPARE(s().text(kLarge.rows[0]), hex(block(image(s()), 128)));
        // Sector 31's key does not open sector 32.
        readSector(kLarge, 32, hex(keyA(31)), false);
        QCOMPARE(s().result(), QStringLiteral("Error: 10 ,函数: rf_M1_authentication2"));
        QVERIFY(s().text(kLarge.rows[14]).isEmpty());
    }

    // Sector 39, block 15 is block 255, the last trailer of the card.
    void sector39Block15IsBlock255() {
        start();
        s().select(kLarge.sector, 39);
        s().select(kLarge.block, 15);
        s().setText(kLarge.key, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(kLarge.trailerKeyA, QStringLiteral("112233445566"));
        s().setText(kLarge.access, QStringLiteral("FF078069"));
        s().setText(kLarge.trailerKeyB, QStringLiteral("778899AABBCC"));
        s().click(kLarge.write);
        QCOMPARE(s().boxes().count(), 1);
        QCOMPARE(s().boxes().last().text, QStringLiteral("你确实需要写入第3块号的数据吗?此操作有可能造成卡的不可用!"));
        QCOMPARE(s().result(), QStringLiteral("写卡操作成功"));
        QCOMPARE(hex(block(image(s()), 255)), QStringLiteral("112233445566FF078069778899AABBCC"));
    }

    // The confirmation comes for block 3 in window 1 and block 15 in window
    // 2 only; block 3 of a large sector is data.
    void confirmationOnlyForTrailers() {
        start();
        s().select(kLarge.sector, 35);
        s().select(kLarge.block, 3);
        s().setText(kLarge.key, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(kLarge.rows[3], QStringLiteral("CAFE"));
        s().click(kLarge.write);
        s().select(kLarge.block, 14);
        s().setText(kLarge.rows[14], QStringLiteral("BEEF"));
        s().click(kLarge.write);
        QCOMPARE(s().boxes().count(), 0);
        QCOMPARE(hex(block(image(s()), 179)), QStringLiteral("CAFE0000000000000000000000000000"));
        QCOMPARE(hex(block(image(s()), 190)), QStringLiteral("BEEF0000000000000000000000000000"));

        s().select(kSmall.sector, 31);
        s().select(kSmall.block, 3);
        s().setText(kSmall.key, QStringLiteral("FFFFFFFFFFFF"));
        s().boxes().answerNext(QMessageBox::Cancel);
        s().click(kSmall.write);
        QCOMPARE(s().boxes().count(), 1);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Warning"));
        QCOMPARE(hex(block(image(s()), 127)), QStringLiteral("FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));
    }

    void inconsistentAccessBitsAreRefused() {
        start();
        s().select(kLarge.sector, 33);
        s().select(kLarge.block, 15);
        s().setText(kLarge.key, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(kLarge.trailerKeyA, QStringLiteral("FFFFFFFFFFFF"));
        s().setText(kLarge.access, QStringLiteral("00000000"));
        s().click(kLarge.write);
        QCOMPARE(s().boxes().last().caption, QStringLiteral("Error"));
        QCOMPARE(hex(block(image(s()), 159)), QStringLiteral("FFFFFFFFFFFFFF078069FFFFFFFFFFFF"));
    }

    // Window 2's write button is enabled for every choice; window 1's is
    // disabled for block 0 of sector 0 only.
    void writeButtonRule() {
        start();
        s().click(1010);
        QCOMPARE(s().result(), QStringLiteral("操作成功"));
        auto* small = s().find<QPushButton>(kSmall.write);
        auto* large = s().find<QPushButton>(kLarge.write);
        QVERIFY(!small->isEnabled());
        s().select(kSmall.block, 2);
        QVERIFY(small->isEnabled());
        s().select(kSmall.block, 0);
        s().select(kSmall.sector, 8);
        QVERIFY(small->isEnabled());
        for (int sector = 32; sector <= 39; ++sector) {
            s().select(kLarge.sector, sector);
            for (int b = 0; b < 16; ++b) {
                s().select(kLarge.block, b);
                QVERIFY(large->isEnabled());
            }
        }
    }

    // The purse reaches the small sectors only.
    void purseLimitedToSmallSectors() {
        start();
        auto* sectors = s().find<QComboBox>(1050);
        QCOMPARE(sectors->count(), 32);
        QCOMPARE(sectors->itemData(31).toInt(), 31);
        QCOMPARE(sectors->findData(32), -1);
        s().select(1050, 31);
        QCOMPARE(s().find<QComboBox>(1058)->count(), 3);
    }

    // A value block in sector 31 (blocks 124-126): initialised, incremented,
    // decremented and read back.
    void purseRoundTrip() {
        start();
        s().select(1050, 31);
        s().select(1058, 2);
        s().setText(1053, QStringLiteral("000000000000"));
        s().setText(1054, QStringLiteral("1000"));
        s().click(1056);
        // A wrong key: the failure is shown and the card searched again.
        QCOMPARE(s().result(), QStringLiteral("Error: 10 ,函数: rf_M1_authentication2"));
        s().setText(1053, QStringLiteral("FFFFFFFFFFFF"));
        s().click(1056);
        QCOMPARE(s().result(), QStringLiteral("初始化钱包操作成功"));
        s().setText(1055, QStringLiteral("F4010000"));  // 500
        QCOMPARE(s().text(1054), QStringLiteral("500"));
        s().click(1059);
        QCOMPARE(s().result(), QStringLiteral("扣款操作成功"));
        s().setText(1054, QStringLiteral("25"));
        s().click(1057);
        QCOMPARE(s().result(), QStringLiteral("充值操作成功"));
        s().click(1060);
        QCOMPARE(s().text(1054), QStringLiteral("525"));
        QCOMPARE(s().text(1055), QStringLiteral("0D020000"));
        QCOMPARE(hex(block(image(s()), 126)), QStringLiteral("0D020000F2FDFFFF0D0200007E817E81"));
    }
};

TORVIK_TEST_MAIN(Mifare4KPageTest)
#include "mifare_4k_page_test.moc"
