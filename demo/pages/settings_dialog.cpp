#include "pages/settings_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "controls/form.h"
#include "controls/hex_text.h"

#include <algorithm>

namespace {

// Captions, set at initialisation.
const TextPair kCaptions[] = {
    {"设置端口", "Setting"},                     // 0  dialog title
    {"端口设置", "Port Set"},                    // 1  1140
    {"端口值", "Port"},                          // 2  1097
    {"波特率", "Rate"},                          // 3  1098
    {"连接", "Connect"},                         // 4  1053
    {"产品信息", "Product Infomation"},          // 5  1099
    {"硬件版本", "Hardware Version"},            // 6  1100
    {"产品序号", "Product Serial"},              // 7  1101
    {"DLL版本", "DLLVersion"},                   // 8  1102
    {"读取", "Read"},                            // 9  1066
    {"设置指示灯颜色", "Set light color"},       // 10 1103
    {"颜色", "Color"},                           // 11 1104
    {"执行", "Run"},                             // 12 1068
    {"设备地址", "Device Address"},              // 13 1105 and 1023
    {"读取", "Read"},                            // 14 1063
    {"写入", "Write"},                           // 15 1064
    {"设置蜂鸣时间", "Set Beep Time"},           // 16 1106
    {"执行", "Run"},                             // 17 1067
    {"设置天线状态", "Set antenna status"},      // 18 1107
    {"开", "ON"},                                // 19 1070
    {"关", "OFF"},                               // 20 1071
    {"执行", "Run"},                             // 21 1069
    {"离开", "Exit"},                            // 22 1
};

// The lamp command of each entry is its index.
const TextPair kLamps[] = {
    {"熄灭黄灯", "Yellow out"},
    {"熄灭绿灯", "Green out"},
    {"点亮绿灯", "Green light"},
    {"点亮黄灯", "Yellow light"},
};

const TextPair kVidNotTwoBytes{"端口值(USB VID)必须是2个字节", "The port value (USB VID) must be 2 bytes"};
const TextPair kPidNotTwoBytes{"波特率(USB PID)必须是2个字节", "The rate value (USB PID) must be 2 bytes"};

// The search test group: part of the dialog, never shown.
const TextPair kSearchTest[] = {
    {"寻卡测试", "Search Test"}, {"Mifare Class", "Mifare Class"}, {"Standard type_B", "Standard type_B"},
    {"AT88R020", "AT88R020"},    {"ST", "ST"},                     {"开始", "Start"},
    {"停止", "Stop"},
};

QGroupBox* group(QWidget* parent, int id, const QString& caption) {
    auto* box = new QGroupBox(caption, parent);
    setAutomationId(box, id);
    return box;
}

}  // namespace

CDlgSetting::CDlgSetting(PageContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    const auto caption = [this](int row) { return ctx_.text(kCaptions[row]); };
    setAutomationId(this, 132);
    setWindowTitle(caption(0));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Port: the USB ids, written least significant byte first, and the address.
    QGroupBox* port = group(this, 1140, caption(1));
    vid_list_ = form::dropList(port, 1051, {{QString::number(0x861A, 16), 0}});
    pid_list_ = form::dropList(port, 1052, {{QString::number(0x10E0, 16), 0}});
    address_ = form::hexEdit(port, 1021, 4);
    address_->setText(QStringLiteral("0000"));
    QPushButton* connectButton = form::button(port, 1053, caption(4));
    auto* portGrid = new QGridLayout(port);
    form::addRows(portGrid, {{form::label(port, 1097, caption(2)), vid_list_},
                             {form::label(port, 1098, caption(3)), pid_list_},
                             {form::label(port, 1023, caption(13)), address_}});
    portGrid->addWidget(connectButton, 3, 1);

    // Product information.
    QGroupBox* product = group(this, 1099, caption(5));
    model_ = form::hexEdit(product, 1056);
    serial_ = form::hexEdit(product, 1057);
    version_ = form::hexEdit(product, 1058);
    form::fitChars(serial_, 40);
    QPushButton* readInfo = form::button(product, 1066, caption(9));
    auto* productGrid = new QGridLayout(product);
    form::addRows(productGrid, {{form::label(product, 1100, caption(6)), model_},
                                {form::label(product, 1101, caption(7)), serial_},
                                {form::label(product, 1102, caption(8)), version_}});
    productGrid->addWidget(readInfo, 3, 1, Qt::AlignRight);

    // The reader's own address.
    QGroupBox* address = group(this, 1105, caption(13));
    reader_address_ = form::hexEdit(address, 1059, 4);
    QPushButton* readAddressButton = form::button(address, 1063, caption(14));
    QPushButton* writeAddressButton = form::button(address, 1064, caption(15));
    auto* addressRow = new QHBoxLayout(address);
    addressRow->addWidget(reader_address_);
    addressRow->addWidget(readAddressButton);
    addressRow->addWidget(writeAddressButton);

    // Beeper.
    QGroupBox* beeper = group(this, 1106, caption(16));
    beep_time_ = form::hexEdit(beeper, 1060, 2);
    QPushButton* beepButton = form::button(beeper, 1067, caption(17));
    auto* beepRow = new QHBoxLayout(beeper);
    beepRow->addWidget(beep_time_);
    beepRow->addWidget(form::label(beeper, -1, QStringLiteral("X 10ms")));
    beepRow->addStretch();
    beepRow->addWidget(beepButton);

    // Lamps.
    QGroupBox* lamp = group(this, 1103, caption(10));
    lamps_ = form::dropList(lamp, 1054, {});
    for (int i = 0; i < 4; ++i) lamps_->addItem(ctx_.text(kLamps[i]), i);
    lamps_->setCurrentIndex(0);
    QPushButton* lampButton = form::button(lamp, 1068, caption(12));
    auto* lampRow = new QHBoxLayout(lamp);
    lampRow->addWidget(form::label(lamp, 1104, caption(11)));
    lampRow->addWidget(lamps_, 1);
    lampRow->addWidget(lampButton);

    // Antenna.
    QGroupBox* antenna = group(this, 1107, caption(18));
    antenna_on_ = form::radio(antenna, 1070, caption(19), true);
    QRadioButton* antennaOff = form::radio(antenna, 1071, caption(20));
    QPushButton* antennaButton = form::button(antenna, 1069, caption(21));
    auto* antennaRow = new QHBoxLayout(antenna);
    antennaRow->addWidget(antenna_on_);
    antennaRow->addWidget(antennaOff);
    antennaRow->addStretch();
    antennaRow->addWidget(antennaButton);

    // The search test group is part of the form but never shown; the
    // dialog closes up over it.
    QGroupBox* searchTest = group(this, 1132, ctx_.text(kSearchTest[0]));
    auto* searchRow = new QHBoxLayout(searchTest);
    for (int i = 0; i < 4; ++i) searchRow->addWidget(form::check(searchTest, 1122 + i, ctx_.text(kSearchTest[1 + i])));
    searchRow->addWidget(form::button(searchTest, 1126, ctx_.text(kSearchTest[5])));
    searchRow->addWidget(form::button(searchTest, 1127, ctx_.text(kSearchTest[6])));
    searchTest->hide();

    QPushButton* leave = form::button(this, 1, caption(22));

    auto* grid = new QGridLayout(this);
    grid->addWidget(port, 0, 0);
    grid->addWidget(product, 0, 1);
    grid->addWidget(address, 1, 0);
    grid->addWidget(beeper, 1, 1);
    grid->addWidget(lamp, 2, 0);
    grid->addWidget(antenna, 2, 1);
    grid->addWidget(searchTest, 3, 0, 1, 2);
    grid->addWidget(leave, 4, 1, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(connectButton, &QPushButton::clicked, this, &CDlgSetting::connectReader);
    connect(readInfo, &QPushButton::clicked, this, &CDlgSetting::readProductInfo);
    connect(readAddressButton, &QPushButton::clicked, this, &CDlgSetting::readAddress);
    connect(writeAddressButton, &QPushButton::clicked, this, &CDlgSetting::writeAddress);
    connect(beepButton, &QPushButton::clicked, this, &CDlgSetting::beep);
    connect(lampButton, &QPushButton::clicked, this, &CDlgSetting::setLamps);
    connect(antennaButton, &QPushButton::clicked, this, &CDlgSetting::setAntenna);
    connect(leave, &QPushButton::clicked, this, &QDialog::accept);
}

bool CDlgSetting::twoBytes(const QByteArray& bytes, int* value) {
    if (bytes.size() != 2) return false;
    *value = static_cast<unsigned char>(bytes[0]) + 256 * static_cast<unsigned char>(bytes[1]);
    return true;
}

void CDlgSetting::connectReader() {
    AppState& state = ctx_.state();
    const ReaderApi& api = ctx_.api();
    if (state.connected()) {
        api.rf_ClosePort();
        state.setConnected(false);
    }
    int value = 0;
    if (!twoBytes(HexToBytes(vid_list_), &value)) {
        ctx_.errorBox(ctx_.text(kVidNotTwoBytes));
        return;
    }
    state.vid = value;
    if (!twoBytes(HexToBytes(pid_list_), &value)) {
        ctx_.errorBox(ctx_.text(kPidNotTwoBytes));
        return;
    }
    state.pid = value;
    if (!twoBytes(HexToBytes(address_), &value)) {
        ctx_.errorBoxEntry(32);
        return;
    }
    state.deviceAddress = static_cast<std::uint16_t>(value);
    const int status = api.rf_init_com(state.deviceAddress, state.vid, state.pid);
    if (status != 0) {
        api.rf_ClosePort();
        state.setConnected(false);
        ctx_.showResult(status, ctx_.message(0));
        return;
    }
    state.setConnected(true);
    ctx_.showInfoEntry(29);
    ctx_.refreshTitle();
}

void CDlgSetting::readProductInfo() {
    if (!ctx_.requireConnected()) return;
    const ReaderApi& api = ctx_.api();
    unsigned char model[2] = {};
    int status = api.rf_get_model(ctx_.address(), model);
    if (status != 0) {
        ctx_.showResult(status, QStringLiteral("m_edit_hardwareversion"));
        return;
    }
    BytesToHex(model_, model, 2);
    unsigned char serial[252] = {};
    int length = 0;
    status = api.rf_get_snr(ctx_.address(), serial, &length);
    if (status != 0) {
        ctx_.showResult(status, QStringLiteral("rf_get_snr"));
        return;
    }
    BytesToHex(serial_, serial, std::clamp(length, 0, 20));
    int version = 0;
    status = api.lib_ver(&version);
    if (status != 0) {
        ctx_.showResult(status, QStringLiteral("lib_ver"));
        return;
    }
    version_->setText(QStringLiteral("%1.0").arg(version));
    ctx_.showInfoEntry(30);
}

void CDlgSetting::readAddress() {
    if (!ctx_.requireConnected()) return;
    unsigned short number = 0;
    const int status = ctx_.api().rf_get_device_number(ctx_.address(), &number);
    if (status != 0) {
        ctx_.showResult(status, QStringLiteral("rf_get_device_number"));
        return;
    }
    const unsigned char bytes[2] = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8)};
    BytesToHex(reader_address_, bytes, 2);
    ctx_.showInfoEntry(31);
}

void CDlgSetting::writeAddress() {
    if (!ctx_.requireConnected()) return;
    int value = 0;
    if (!twoBytes(HexToBytes(reader_address_), &value)) {
        ctx_.errorBoxEntry(32);
        return;
    }
    // The program keeps talking to the old address until it is typed in
    // the connection's address field and Connect is pressed.
    const int status = ctx_.api().rf_init_device_number(ctx_.address(), static_cast<unsigned short>(value));
    ctx_.report(status, QStringLiteral("rf_init_device_number"), 33);
}

void CDlgSetting::beep() {
    if (!ctx_.requireConnected()) return;
    const QByteArray time = HexToBytes(beep_time_);
    if (time.isEmpty()) {
        ctx_.warningBox(ctx_.message(63));
        return;
    }
    const int status = ctx_.api().rf_beep(ctx_.address(), static_cast<unsigned char>(time[0]));
    ctx_.report(status, QStringLiteral("rf_beep"), 34);
}

void CDlgSetting::setLamps() {
    if (!ctx_.requireConnected()) return;
    const int status = ctx_.api().rf_light(ctx_.address(), static_cast<unsigned char>(form::itemData(lamps_)));
    ctx_.report(status, QStringLiteral("rf_light"), 35);
}

void CDlgSetting::setAntenna() {
    const unsigned char on = antenna_on_->isChecked() ? 1 : 0;
    if (!ctx_.requireConnected()) return;
    const int status = ctx_.api().rf_antenna_sta(ctx_.address(), on);
    ctx_.report(status, QStringLiteral("rf_antenna_sta"), 36);
}
