// The hex and decimal fields: what the keyboard can put in them, and the
// helpers that read and write their text.
#include <QClipboard>
#include <QLabel>

#include "controls/hex_edit.h"
#include "controls/hex_text.h"
#include "support/torvik_session.h"

class HexEditTest : public QObject {
    Q_OBJECT

    // A shown field with the keyboard focus.
    template <typename Edit>
    std::unique_ptr<Edit> field() {
        auto edit = std::make_unique<Edit>();
        edit->show();
        edit->activateWindow();
        edit->setFocus();
        return edit;
    }

private slots:
    void typedHexGoesInUpperCaseWithTheOption() {
        auto edit = field<CHexEdit>();
        edit->setUpperCase(true);
        QTest::keyClicks(edit.get(), "ab12");
        QCOMPARE(edit->text(), QStringLiteral("AB12"));
    }

    void upperCaseLettersGoInAsLowerCaseWithoutTheOption() {
        auto edit = field<CHexEdit>();
        QTest::keyClick(edit.get(), Qt::Key_A, Qt::ShiftModifier);
        QTest::keyClick(edit.get(), Qt::Key_F, Qt::ShiftModifier);
        QTest::keyClicks(edit.get(), "c9");
        QCOMPARE(edit->text(), QStringLiteral("afc9"));
    }

    void otherCharactersAreRefused() {
        auto edit = field<CHexEdit>();
        edit->setUpperCase(true);
        QTest::keyClicks(edit.get(), "Gx -z!");
        QCOMPARE(edit->text(), QString());
    }

    void numericPadDigitsAreAccepted() {
        auto edit = field<CHexEdit>();
        for (char c : {'0', '7', '9', '5'})
            QTest::keyClick(edit.get(), Qt::Key(Qt::Key_0 + (c - '0')), Qt::KeypadModifier);
        QCOMPARE(edit->text(), QStringLiteral("0795"));
    }

    void backspaceAndDeleteWorkArrowsOnlyWithCtrl() {
        auto edit = field<CHexEdit>();
        edit->setUpperCase(true);
        QTest::keyClicks(edit.get(), "1234");
        QTest::keyClick(edit.get(), Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("123"));
        // Home and Left do nothing without Ctrl: Delete at the end removes nothing.
        QTest::keyClick(edit.get(), Qt::Key_Home);
        QTest::keyClick(edit.get(), Qt::Key_Left);
        QCOMPARE(edit->cursorPosition(), 3);
        // Held Ctrl lets the keys through: Ctrl+Left (a word back), then
        // Delete takes the first digit.
        QTest::keyPress(edit.get(), Qt::Key_Control);
        QCOMPARE(edit->ctrlDown(), 1);
        QTest::keyClick(edit.get(), Qt::Key_Left, Qt::ControlModifier);
        QTest::keyRelease(edit.get(), Qt::Key_Control);
        QCOMPARE(edit->ctrlDown(), 0);
        QCOMPARE(edit->cursorPosition(), 0);
        QTest::keyClick(edit.get(), Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("23"));
    }

    void pasteIsNotFiltered() {
        auto edit = field<CHexEdit>();
        edit->setUpperCase(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("xy z"));
        QTest::keyPress(edit.get(), Qt::Key_Control);
        QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyRelease(edit.get(), Qt::Key_Control);
        QCOMPARE(edit->text(), QStringLiteral("xy z"));
    }

    void enterReachesTheDialog() {
        auto edit = field<CHexEdit>();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(edit.get(), &enter);
        QVERIFY(!enter.isAccepted());
        QKeyEvent letter(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, QStringLiteral("g"));
        QCoreApplication::sendEvent(edit.get(), &letter);
        QVERIFY(letter.isAccepted());
    }

    void decimalFieldRefusesLettersOnly() {
        auto edit = field<CDecEdit>();
        QTest::keyClicks(edit.get(), "-12a B.5 ");
        QTest::keyClick(edit.get(), Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(edit->text(), QStringLiteral("-12 .5 7"));
    }

    void hexTextToBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("lower case") << "0aff" << QByteArray::fromHex("0AFF");
        QTest::newRow("one digit") << "7" << QByteArray("\x07", 1);
        QTest::newRow("odd trailing digit") << "ABC" << QByteArray::fromHex("AB0C");
        QTest::newRow("non-hex counts as 0") << "1G" << QByteArray("\x10", 1);
        QTest::newRow("non-hex pair") << "zz4" << QByteArray("\x00\x04", 2);
        QTest::newRow("blank inside") << "12 4" << QByteArray::fromHex("1204");
    }
    void hexTextToBytes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QLabel label(text);
        QCOMPARE(HexToBytes(&label), bytes);
    }

    void byteCountRoundsDown() {
        QLabel label(QStringLiteral("7"));
        QCOMPARE(GetHexByteCount(&label), 0);
        label.setText(QStringLiteral("ABC"));
        QCOMPARE(GetHexByteCount(&label), 1);
    }

    void bytesShowAsUpperCaseHex() {
        QLabel label(QStringLiteral("kept"));
        const unsigned char bytes[] = {0x0A, 0xFF};
        BytesToHex(&label, nullptr, 2);
        QCOMPARE(label.text(), QStringLiteral("kept"));
        BytesToHex(&label, bytes, 2);
        QCOMPARE(label.text(), QStringLiteral("0AFF"));
        BytesToHex(&label, bytes, 0);
        QCOMPARE(label.text(), QString());
        QCOMPARE(BytesToHexString(bytes, 2), QStringLiteral("0AFF"));
        QCOMPARE(StringToHexString("AB"), QStringLiteral("4142"));
    }

    void dwordGoesLeastSignificantFirst() {
        QLabel label;
        SetHexDword(100, &label);
        QCOMPARE(label.text(), QStringLiteral("64000000"));
        SetHexDword(0x12345678, &label);
        QCOMPARE(label.text(), QStringLiteral("78563412"));
    }

    void byteLimitRoundsUp() {
        CHexEdit edit;
        edit.setMaxLength(5);
        QCOMPARE(GetHexByteLimit(&edit), 3);
        edit.setMaxLength(12);
        QCOMPARE(GetHexByteLimit(&edit), 6);
    }

    void decimalValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("12") << "12" << 12;
        QTest::newRow("-3") << "-3" << -3;
        QTest::newRow("blanks and sign") << "  +42x" << 42;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("only blanks") << "   " << 0;
        QTest::newRow("too large") << "99999999999" << 2147483647;
        QTest::newRow("too small") << "-99999999999" << int(-2147483647 - 1);
    }
    void decimalValue() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QLabel label(text);
        QCOMPARE(GetDecimalValue(&label), value);
    }

    void decimalTextAndOtherControls() {
        QComboBox list;
        SetDecimalText(&list, -7);
        QCOMPARE(list.currentText(), QStringLiteral("-7"));
        QCOMPARE(GetDecimalValue(&list), -7);
    }
};

TORVIK_TEST_MAIN(HexEditTest)
#include "hex_edit_test.moc"
