"""The real torvik against readersim, driven through the accessibility bus:
the I CODE, Tag-it, UltraLight, NTag203F and NTag213 pages. One label or tag
lies on the antenna at a time (readersim's console swaps them). Every write
is read back through the page. Saves a screenshot of each page.

usage: tag_pages_test.py OUT_DIR SCREENSHOT_DIR
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import torvik_driver  # noqa: E402
from shell_test import check, expect_box  # noqa: E402

ICODE = "icode:uid=E004010203040506,dsfid=5A,afi=07"
TAGIT = "tagit:uid=E007000012345678"
ULTRALIGHT = "ultralight:uid=04112233445566"
NTAG203 = "ntag203:uid=04A1B2C3D4E5F6"
NTAG213 = "ntag213:uid=04C0FFEE123456,pwd=11223344,pack=ABCD,auth0=16,prot=1"


def swap_card(session, spec):
    """Takes the card off the antenna and lays `spec` there."""
    session.readersim("remove 0")
    session.readersim("place " + spec)
    time.sleep(0.3)


def show(app, command, template):
    app.press(command)
    torvik_driver.wait_until("page %d" % template, lambda: app.find(template, timeout=1) is not None)
    return app.find(template)


def click(app, page, control, result):
    app.press(app.find(control, page))
    app.wait_result(result)


def icode(app, shots):
    page = show(app, 32825, 143)
    click(app, page, 1002, "操作成功!")
    check(app.text(app.find(1001, page)) == "06050403020104E0", "inventory fills the UID")
    check(app.text(app.find(1004, page)) == "5A", "and the DSFID")
    click(app, page, 1003, "ISO15693获得系统信息成功")
    check(app.text(app.find(1007, page)) == "07", "system information fills the AFI")
    app.type_into(app.find(5000, page), "11223344")
    click(app, page, 1014, "操作成功!")
    click(app, page, 1013, "操作成功!")
    check(app.text(app.find(5000, page)) == "11223344", "block 0 reads back what was written")
    check(app.text(app.find(5227, page)) == "00", "block 27's status is read")
    app.press(app.find(1015, page))
    expect_box(app, "Warning", "您确定要锁块吗？锁块之后该块不能再被更改！", "Cancel")
    app.press(app.find(1015, page))
    expect_box(app, "Warning", "您确定要锁块吗？锁块之后该块不能再被更改！", "OK")
    app.wait_result("操作成功!")
    click(app, page, 1013, "操作成功!")
    check(app.text(app.find(5200, page)) == "01", "block 0 is locked")
    click(app, page, 1016, "Set EAS操作成功")
    click(app, page, 1019, "EAS Alarm操作成功")
    check(len(app.text(app.find(1020, page))) == 64, "the EAS alarm answer fills the EAS field")
    app.screenshot(app.frame(), os.path.join(shots, "icode.png"))


def tagit(app, session, shots):
    swap_card(session, TAGIT)
    page = show(app, 32826, 144)
    view = app.extents(page.parent)
    check(app.extents(page)[2:] == view[2:], "the Tag-it page covers the view")
    click(app, page, 1002, "操作成功!")
    check(app.text(app.find(1001, page)) == "78563412000007E0", "inventory fills the UID")
    app.type_into(app.find(5000, page), "0badf00d")
    click(app, page, 1014, "操作成功!")
    click(app, page, 1013, "操作成功!")
    check(app.text(app.find(5000, page)) == "0BADF00D", "block 0 reads back")
    check(app.text(app.find(5063, page)) == "00000000", "all 64 blocks are read")
    app.screenshot(app.frame(), os.path.join(shots, "tagit.png"))


def ultralight(app, session, shots):
    swap_card(session, ULTRALIGHT)
    page = show(app, 32816, 137)
    click(app, page, 1002, "寻卡操作成功")
    check(app.text(app.find(1001, page)) == "04112233445566", "the serial number")
    app.type_into(app.find(5004, page), "CAFEBABE")
    click(app, page, 1004, "写卡操作成功")
    click(app, page, 1003, "读卡操作成功")
    check(app.text(app.find(5004, page)) == "CAFEBABE", "page 4 reads back")
    check(len(app.text(app.find(5202, page))) == 4, "page 2's lock bytes in their own field")
    app.screenshot(app.frame(), os.path.join(shots, "ultralight.png"))


def ntag203(app, session, shots):
    swap_card(session, NTAG203)
    page = show(app, 32917, 170)
    click(app, page, 1002, "寻卡操作成功")
    click(app, page, 1003, "读卡操作成功")
    check(app.text(app.find(5003, page)) == "E1101200", "the capability container")
    click(app, page, 1007, "操作成功!")
    app.screenshot(app.frame(), os.path.join(shots, "ntag203f.png"))


def ntag213(app, session, shots):
    swap_card(session, NTAG213)
    page = show(app, 32918, 171)
    click(app, page, 1002, "寻卡操作成功")
    click(app, page, 1013, "操作成功!")
    check(app.text(app.find(1008, page)) == "0004040201000F03", "the version")
    app.press(app.find(1003, page))
    torvik_driver.wait_until("the protected read to fail (now %r)" % app.result(),
                             lambda: app.result().endswith("读Page: 4 页发生错误!"))
    check(app.text(app.find(5016, page)) == "", "protected pages stay empty")
    click(app, page, 1002, "寻卡操作成功")
    app.type_into(app.find(1011, page), "11223344")
    click(app, page, 1016, "操作成功!")
    check(app.text(app.find(1012, page)) == "ABCD", "the PACK")
    click(app, page, 1003, "读卡操作成功")
    check(app.text(app.find(5016, page)) == "00000000", "protected pages read after authentication")
    # The fast read's range starts as pages 0-15: one page more than it takes.
    app.press(app.find(1017, page))
    expect_box(app, "Error", "超出最大读取范围,最大值为15页")
    app.screenshot(app.frame(), os.path.join(shots, "ntag213.png"))


def main(out_dir, shots):
    os.makedirs(shots, exist_ok=True)
    with torvik_driver.Session(out_dir, cards=[ICODE]) as session:
        app = session.launch()
        expect_box(app, "ConnectOK", "操作成功!")
        icode(app, shots)
        tagit(app, session, shots)
        ultralight(app, session, shots)
        ntag203(app, session, shots)
        ntag213(app, session, shots)
        check(app.quit() == 0, "torvik ends normally")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
