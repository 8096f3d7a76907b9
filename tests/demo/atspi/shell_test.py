"""The real torvik, started as a new user would under a virtual display
against readersim, driven through the accessibility bus by its automation
ids: the connection at start, title, menu check marks, toolbar, switching
and remembering the card type, the settings dialog with right and wrong
input, the result strip. Saves screenshots of the main window and the
settings dialog.

usage: shell_test.py OUT_DIR SCREENSHOT_DIR
"""

import configparser
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import torvik_driver  # noqa: E402

TITLE = "Torvik演示软件  -    VID:6790  PID:57360  DEVICE ADDRESS:%d  -  %s"


def check(condition, what):
    if not condition:
        raise torvik_driver.DriverError(what)
    print("ok  " + what)


def expect_box(app, caption, text, button="OK"):
    seen = app.answer_box(button)
    check(seen == (caption, text), "message box %r / %r (saw %r)" % (caption, text, seen))


def first_run(session, shots):
    app = session.launch()
    expect_box(app, "ConnectOK", "操作成功!")
    check(app.title() == TITLE % (0, "Mifare1K"), "title on a first start: " + app.title())
    check(app.checked(app.menu_item(32817)) and not app.checked(app.menu_item(32816)), "Mifare1K checked in the menu")
    check(app.checked(app.button(32817)), "and its toolbar button pressed")
    check(app.find(130) is not None, "the Mifare1K page (130) is shown")
    check(not app.enabled(32815) and app.enabled(32814), "connect disabled, disconnect enabled")
    app.screenshot(app.frame(), os.path.join(shots, "main-window.png"))

    # The flat menu with check mark and icons; choosing the current card
    # changes nothing.
    bar = app._search(lambda n: n.getRole() == torvik_driver.pyatspi.ROLE_MENU_BAR)
    app.press(next(item for item in bar if item.name == "ISO14443A"))
    menu = app.menu_item(32817).parent
    torvik_driver.wait_until("the menu", lambda: menu.getState().contains(torvik_driver.pyatspi.STATE_SHOWING))
    x, y, w, h = app.extents(menu)
    time.sleep(0.3)
    session.screenshot(os.path.join(shots, "menu.png"), (0, 0, x + w + 20, y + h + 20))
    app.press(app.menu_item(32817))
    check(app.title() == TITLE % (0, "Mifare1K"), "choosing the current card keeps it")

    # Switch by toolbar button, then by a menu item that has no button.
    app.press(app.button(32921))
    torvik_driver.wait_until("the Felica page", lambda: app.title().endswith("Felica"))
    check(app.title() == TITLE % (0, "Felica"), "title after the Felica button")
    check(app.find(172) is not None, "the Felica page (172) is shown")
    check(app.checked(app.menu_item(32921)) and app.checked(app.button(32921)), "Felica checked and pressed")
    check(not app.checked(app.menu_item(32817)) and not app.checked(app.button(32817)),
          "Mifare1K no longer checked")
    app.press(32819)  # SR176, a menu item only
    torvik_driver.wait_until("the SR176 page", lambda: app.title().endswith("SR176"))
    check(app.find(141) is not None, "the SR176 page (141) is shown")
    app.press(32821)  # SRI4K: laid over the whole view
    torvik_driver.wait_until("the SRI4K page", lambda: app.title().endswith("SRI4K"))
    page = app.extents(app.find(142))
    view = app.extents(app.find(142).parent)
    check(page[2] == view[2] and page[3] == view[3], "SRI4K covers the view %r %r" % (page, view))
    app.press(32921)
    torvik_driver.wait_until("the Felica page", lambda: app.title().endswith("Felica"))

    # Disconnect and connect from the menu.
    app.press(32814)
    app.wait_result("断开操作成功")
    check(app.enabled(32815) and not app.enabled(32814), "connect enabled after disconnecting")

    settings(app, session, shots)

    code = app.quit()
    check(code == 0, "exit code 0")
    stored = configparser.ConfigParser()
    stored.read(session.settings_file())
    check(stored["General"]["CurCard"] == "12", "CurCard 12 stored at exit")


def settings(app, session, shots):
    app.press(app.button(32813))
    dialog = app.window("设置端口")
    check(dialog.description == "id 132", "the settings dialog (132) is open")

    # Not connected: every button but Connect and Leave says so.
    app.press(app.find(1067, dialog))
    app.wait_result("Error: 设备未连接")
    check(app.find(1051, dialog).name == "861a", "vendor id list shows 861a")

    # Wrong input: an address of one byte.
    app.type_into(app.find(1021, dialog), "01")
    app.press(app.find(1053, dialog))
    expect_box(app, "Error", "请输满2个字节的设备标记")

    # Address 0100 is reader address 1.
    app.type_into(app.find(1021, dialog), "0100")
    app.press(app.find(1053, dialog))
    app.wait_result("连接操作成功")
    torvik_driver.wait_until("the new title", lambda: app.title() == TITLE % (1, "Felica"))
    check(True, "title carries DEVICE ADDRESS:1")

    app.type_into(app.find(1021, dialog), "0000")
    app.press(app.find(1053, dialog))
    app.wait_result("连接操作成功")
    torvik_driver.wait_until("the title", lambda: app.title() == TITLE % (0, "Felica"))

    app.press(app.find(1066, dialog))
    app.wait_result("读取产品信息操作成功")
    check(app.text(app.find(1056, dialog)) == "4B36", "model 4B36")
    check(app.text(app.find(1058, dialog)) == "19.0", "library version 19.0")
    check(len(app.text(app.find(1057, dialog))) == 16, "serial number of 8 bytes")

    app.press(app.find(1063, dialog))
    app.wait_result("读取设备标记操作成功")
    check(app.text(app.find(1059, dialog)) == "0000", "reader address 0000")

    app.press(app.find(1067, dialog))
    expect_box(app, "Warning", "输入不能为空")
    app.type_into(app.find(1060, dialog), "05")
    app.press(app.find(1067, dialog))
    app.wait_result("设置蜂鸣时间操作成功")
    app.press(app.find(1068, dialog))
    app.wait_result("设置指示灯颜色操作成功")
    app.press(app.find(1071, dialog))
    app.press(app.find(1069, dialog))
    app.wait_result("设置天线状态操作成功")

    app.screenshot(dialog, os.path.join(shots, "settings-dialog.png"))
    app.press(app.find(1, dialog))
    torvik_driver.wait_until("the dialog to close", lambda: "设置端口" not in [w.name for w in app.windows()])


def second_run(session):
    app = session.launch()
    expect_box(app, "ConnectOK", "操作成功!")
    check(app.title() == TITLE % (0, "Felica"), "the next start shows Felica")
    check(app.find(172) is not None, "with the Felica page")
    check(app.checked(app.menu_item(32921)), "and its check mark")
    app.quit()


def main(out_dir, shots):
    os.makedirs(shots, exist_ok=True)
    with torvik_driver.Session(out_dir, cards=["mifare1k"]) as session:
        first_run(session, shots)
        second_run(session)
    print("screenshots: " + shots)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
