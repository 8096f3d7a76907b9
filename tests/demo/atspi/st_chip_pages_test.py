"""The ST, AT88RF020 and FeliCa pages of the real torvik, driven through the
accessibility bus by their automation ids against readersim, one card on
the antenna at a time (swapped on readersim's console): selection, reads,
writes checked in the card's image saved by readersim, locks, the AT88RF020
password rule and the FeliCa UID. Saves a screenshot of each page, SRI4K's
two tabs included.

usage: st_chip_pages_test.py OUT_DIR SCREENSHOT_DIR
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import torvik_driver  # noqa: E402

# Control ids of the pages (see demo/pages/st_page.h, at88rf020_page.h, felica_page.h).
CHIP_ID, UID, READ_UID = 1001, 1002, 1003
REQUEST, READ, WRITE, LOCK, COMPLETION = 1010, 1011, 1012, 1013, 1014
LOCK_FIELD, BLOCK = 1021, 5000
SECOND_FIELD = 5100
AT88_LOCK, PASSWORD, CHECK = 1022, 1023, 1024
FIRST_TAB, SECOND_TAB = 6010, 6011


def check(condition, what):
    if not condition:
        raise torvik_driver.DriverError(what)
    print("ok  " + what)


class Pages:
    def __init__(self, session, app, shots):
        self.session, self.app, self.shots = session, app, shots
        self.saved = 0

    def swap_card(self, spec):
        self.session.readersim("remove 0")
        self.session.readersim("place " + spec)

    def show(self, command, template, title):
        self.app.press(command)
        torvik_driver.wait_until("the %s page" % title, lambda: self.app.title().endswith(title))
        return self.app.find(template)

    def press(self, page, control, result):
        self.app.press(self.app.find(control, page))
        self.app.wait_result(result)

    def type(self, page, control, text):
        self.app.type_into(self.app.find(control, page), text)

    def text(self, page, control):
        return self.app.text(self.app.find(control, page))

    def blocks_read(self, page, image, size, blocks):
        """Whether the fields of these blocks show the image's bytes."""
        return all(self.text(page, BLOCK + n) == image[size * n:size * (n + 1)].hex().upper() for n in blocks)

    def image(self):
        """The card's memory as readersim holds it."""
        self.saved += 1
        path = os.path.join(self.session.tmp, "card-%d.bin" % self.saved)
        self.session.readersim("save 0 " + path)
        torvik_driver.wait_until("the saved image", lambda: os.path.exists(path) and os.path.getsize(path) > 0)
        torvik_driver.wait_until("the whole image", lambda: os.path.getsize(path) in (32, 64, 256, 512))
        with open(path, "rb") as f:
            return f.read()

    def shot(self, name):
        self.app.screenshot(self.app.frame(), os.path.join(self.shots, name))


def sr176(p):
    page = p.show(32819, 141, "SR176")
    p.press(page, REQUEST, "寻卡操作成功")
    check(p.text(page, CHIP_ID) == "0F", "SR176 chip id from block 15: " + p.text(page, CHIP_ID))
    p.press(page, READ, "读卡操作成功")
    image = p.image()
    check(p.blocks_read(page, image, 2, range(16)), "SR176: the 16 blocks read are the card's")
    p.type(page, BLOCK + 4, "1234")  # block 4, the selector's first entry
    p.press(page, WRITE, "写卡操作成功")
    check(p.image()[8:10] == bytes.fromhex("1234"), "SR176 block 4 written")
    p.type(page, LOCK_FIELD, "04")  # blocks 4 and 5
    p.app.press(p.app.find(LOCK, page))
    seen = p.app.answer_box("OK")
    check(seen == ("Warning", "你确定需要进行块锁定操作?"), "lock asks first: %r" % (seen,))
    p.app.wait_result("块锁定操作成功")
    p.press(page, REQUEST, "寻卡操作成功")
    p.type(page, BLOCK + 4, "5678")
    p.app.press(p.app.find(WRITE, page))
    torvik_driver.wait_until("the refused write", lambda: p.app.result().endswith(",函数: rf_sr176_writeblock"))
    check(p.image()[8:10] == bytes.fromhex("1234"), "SR176 block 4 protected after a new selection")
    p.shot("sr176.png")


def sri512(p):
    p.swap_card("sri512:uid=D002AABBCCDDEEFF")
    page = p.show(32820, 146, "SRI512")
    p.press(page, REQUEST, "寻卡操作成功")
    p.press(page, READ_UID, "读取UID成功")
    check(p.text(page, UID) == "FFEEDDCCBBAA02D0", "SRI512 UID, least significant byte first")
    p.press(page, READ, "读卡操作成功")
    image = p.image()
    check(p.blocks_read(page, image, 4, range(16)), "SRI512: the 16 blocks read are the card's")
    p.type(page, BLOCK + 0, "12345678")
    p.press(page, WRITE, "写卡操作成功")
    check(p.image()[0:4] == bytes.fromhex("12345678"), "SRI512 block 0 written")
    p.press(page, COMPLETION, "SRX卡Completion操作成功")
    p.shot("sri512.png")


def sri4k(p):
    p.swap_card("srix4k")
    page = p.show(32821, 142, "SRI4K")
    p.press(page, REQUEST, "寻卡操作成功")
    p.press(page, READ, "读卡操作成功")
    image = p.image()
    check(p.blocks_read(page, image, 4, (0, 7, 63, 64, 100, 127)), "SRI4K: blocks of both halves read")
    showing = lambda n: p.app.states(p.app.find(BLOCK + n, page)).contains(torvik_driver.pyatspi.STATE_SHOWING)
    check(showing(0) and not showing(64), "first tab: blocks 0-63 shown")
    p.shot("sri4k-first-page.png")
    p.app.press(p.app.find(SECOND_TAB, page))
    torvik_driver.wait_until("the second half", lambda: showing(64))
    check(not showing(0), "second tab: blocks 64-127 shown")
    p.shot("sri4k-second-page.png")
    p.app.press(p.app.find(FIRST_TAB, page))
    torvik_driver.wait_until("the first half", lambda: showing(0))


def at88rf020(p):
    p.swap_card("at88rf020:uid=0A0B0C0D,password=0011223344556677")
    page = p.show(32823, 147, "AT88RF020")
    p.press(page, REQUEST, "寻卡操作成功")
    check(p.text(page, 1001) == "0A0B0C0D", "AT88RF020 PUPI")
    p.type(page, PASSWORD, "00112233")
    p.app.press(p.app.find(CHECK, page))
    seen = p.app.answer_box("OK")
    check(seen == ("Error", "请在密码区输满8个字节的密码!"), "a short password is refused: %r" % (seen,))
    p.type(page, PASSWORD, "0011223344556677")
    p.press(page, CHECK, "验证操作成功")
    p.press(page, READ, "读卡操作成功")
    image = p.image()
    check(p.blocks_read(page, image, 8, range(4, 32)), "AT88RF020 pages 4-31 read")
    check(p.text(page, BLOCK + 3) == "", "the password page is not read")
    p.type(page, BLOCK + 1, "A1A2A3A4")  # page 1, the selector's first entry
    p.type(page, SECOND_FIELD + 1, "B1B2B3B4")
    p.press(page, WRITE, "写卡操作成功")
    check(p.image()[8:16] == bytes.fromhex("A1A2A3A4B1B2B3B4"), "AT88RF020 page 1 written")
    p.type(page, LOCK_FIELD, "02000000")
    p.press(page, AT88_LOCK, "LOCK操作成功")
    check(p.text(page, SECOND_FIELD) == "02000000", "page 0 read back after LOCK")
    p.shot("at88rf020.png")


def felica(p):
    p.swap_card("felica:uid=0A0B112233445566")
    page = p.show(32921, 172, "Felica")
    p.press(page, REQUEST, "获取UID成功")
    check(p.text(page, UID) == "112233445566", "FeliCa card number")
    p.shot("felica.png")


def main(out_dir, shots):
    shots = os.path.abspath(shots)
    os.makedirs(shots, exist_ok=True)
    with torvik_driver.Session(out_dir, cards=["sr176"]) as session:
        app = session.launch()
        check(app.answer_box() == ("ConnectOK", "操作成功!"), "connected at start")
        p = Pages(session, app, shots)
        for run in (sr176, sri512, sri4k, at88rf020, felica):
            run(p)
        check(app.quit() == 0, "torvik ends cleanly")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
