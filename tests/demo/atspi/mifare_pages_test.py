"""The Mifare 1K and 4K pages of the real torvik, driven through the
accessibility bus by their automation ids against readersim: card search,
the write-button rule, sector reads with key A and key B compared with the
card images placed on readersim, block and trailer writes (the
confirmation cancelled and accepted) checked in the card's saved dump, the
purse, the message boxes. Saves a screenshot of each page.

usage: mifare_pages_test.py OUT_DIR SCREENSHOT_DIR
"""

import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import torvik_driver  # noqa: E402

KEY_B_ACCESS = bytes.fromhex("7F078869")  # key B hidden, so it authenticates
DELIVERY_ACCESS = bytes.fromhex("FF078069")
CONFIRM = "你确实需要写入第3块号的数据吗?此操作有可能造成卡的不可用!"


def check(condition, what):
    if not condition:
        raise torvik_driver.DriverError(what)
    print("ok  " + what)


def first_block(sector):
    return 4 * sector if sector < 32 else 128 + 16 * (sector - 32)


def block_count(sector):
    return 4 if sector < 32 else 16


def make_image(sectors, uid, sak, atqa):
    """Data that differs in every block; key A A0..A4 s and key B B0..B4 s;
    key B authenticates in the odd sectors."""
    blocks = 256 if sectors == 40 else 64
    image = bytearray()
    for b in range(blocks):
        image += bytes((b * 7 + i * 31 + 5) & 0xFF for i in range(16))
    bcc = uid[0] ^ uid[1] ^ uid[2] ^ uid[3]
    image[0:16] = (uid + bytes([bcc, sak]) + atqa + b"bcdefghi")[:16]
    for s in range(sectors):
        t = first_block(s) + block_count(s) - 1
        access = KEY_B_ACCESS if s % 2 else DELIVERY_ACCESS
        image[16 * t:16 * t + 16] = bytes([0xA0, 0xA1, 0xA2, 0xA3, 0xA4, s]) + access + \
            bytes([0xB0, 0xB1, 0xB2, 0xB3, 0xB4, s])
    return bytes(image)


def key_a(s):
    return "A0A1A2A3A4%02X" % s


def key_b(s):
    return "B0B1B2B3B4%02X" % s


def hexs(data):
    return data.hex().upper()


class Page:
    def __init__(self, app, template, panels):
        self.app = app
        self.node = app.find(template)
        self.panels = panels
        self.nodes = {}

    def find(self, id_):
        """The control with this id on the page (looked up once)."""
        if id_ not in self.nodes:
            self.nodes[id_] = self.app.find(id_, self.node)
        return self.nodes[id_]

    def choose(self, list_id, text):
        """Selects the entry of a drop-down list as a user does: a click opens
        it, the entry's text is typed and Return takes it."""
        node = self.find(list_id)
        if node.name == text:
            return
        x, y, w, h = self.app.extents(node)
        atspi = torvik_driver.Atspi
        atspi.generate_mouse_event(x + w // 2, y + h // 2, "b1c")
        popup = node[0]
        torvik_driver.wait_until("list %d open" % list_id,
                                 lambda: popup.getState().contains(torvik_driver.pyatspi.STATE_SHOWING))
        time.sleep(0.2)
        atspi.generate_keyboard_event(0, text, atspi.KeySynthType.STRING)
        time.sleep(0.2)
        atspi.generate_keyboard_event(0xFF0D, None, atspi.KeySynthType.SYM)  # Return
        torvik_driver.wait_until("list %d showing %s (now %s)" % (list_id, text, node.name),
                                 lambda: node.name == text)
        time.sleep(0.1)

    def type(self, id_, text):
        self.app.type_into(self.find(id_), text)

    def read(self, panel, sector, key, with_b, image):
        p = self.panels[panel]
        self.choose(p["sector"], str(sector))
        self.app.press(self.find(p["keyB"] if with_b else p["keyA"]))
        self.type(p["key"], key)
        self.app.press(self.find(p["read"]))
        self.app.wait_result("读卡操作成功")
        first, count = first_block(sector), block_count(sector)
        for i, row in enumerate(p["rows"]):
            want = hexs(image[16 * (first + i):16 * (first + i + 1)])
            check(self.app.text(self.find(row)) == want, "sector %d block %d shown" % (sector, i))
        trailer = image[16 * (first + count - 1):16 * (first + count)]
        check(self.app.text(self.find(p["trailer"][0])) == "000000000000", "key A never comes back")
        check(self.app.text(self.find(p["trailer"][1])) == hexs(trailer[6:10]), "access bits of sector %d" % sector)
        want_b = "000000000000" if trailer[6:10] == KEY_B_ACCESS else hexs(trailer[10:16])
        check(self.app.text(self.find(p["trailer"][2])) == want_b, "key B of sector %d as readable" % sector)


def saved_card(session, tmp, name):
    path = os.path.join(tmp, name)
    if os.path.exists(path):
        os.remove(path)
    session.readersim("save 0 " + path)
    torvik_driver.wait_until("the saved dump", lambda: os.path.exists(path) and os.path.getsize(path) in (1024, 4096))
    with open(path, "rb") as f:
        return f.read()


PANELS_1K = [
    dict(sector=1061, block=1094, keyA=1064, keyB=1065, key=1004, rows=[1076, 1077, 1078],
         trailer=[1085, 1086, 1087], read=1070, write=1073),
    dict(sector=1062, block=1095, keyA=1066, keyB=1067, key=1005, rows=[1079, 1081, 1083],
         trailer=[1090, 1092, 1089], read=1071, write=1074),
    dict(sector=1063, block=1096, keyA=1068, keyB=1069, key=1006, rows=[1080, 1082, 1084],
         trailer=[1091, 1093, 1088], read=1072, write=1075),
]
PANELS_4K = [
    dict(sector=1061, block=1094, keyA=1067, keyB=1068, key=1037, rows=[1032, 1033, 1076],
         trailer=[1034, 1035, 1036], read=1048, write=1063),
    dict(sector=1062, block=1095, keyA=1064, keyB=1065, key=1045,
         rows=[1030, 1031, 1077, 1081, 1082, 1038, 1042, 1091, 1093, 1096, 1105, 1106, 1107, 1113, 1114],
         trailer=[1039, 1040, 1041], read=1046, write=1047),
]


def mifare_1k(app, session, tmp, shots, image):
    page = Page(app, 130, PANELS_1K)
    app.press(page.find(1010))
    app.wait_result("操作成功")
    check(app.text(page.find(1049)) == "11223344", "search shows the UID")
    check(not app.enabled(page.find(1073)), "write disabled for sector 0 block 0")
    page.choose(1094, "1")
    check(app.enabled(page.find(1073)), "write enabled for block 1")

    page.read(0, 2, key_a(2), False, image)
    page.read(1, 3, key_b(3), True, image)
    page.read(2, 15, key_b(15), True, image)

    # A wrong key: the failure, then the next read searches again.
    page.type(1004, "000000000000")
    app.press(page.find(1070))
    app.wait_result("Error: 10 ,函数: rf_M1_authentication2")
    page.read(0, 2, key_a(2), False, image)

    # A key of the wrong length.
    page.type(1005, "FFFF")
    app.press(page.find(1071))
    seen = app.answer_box()
    check(seen == ("Error", "请在密钥区输入6个字节的密钥"), "key length box %r" % (seen,))

    # Data block write in window 3: sector 4, block 2.
    page.choose(1063, "4")
    page.choose(1096, "2")
    app.press(page.find(1068))
    page.type(1006, key_a(4))
    page.type(1084, "00112233445566778899AABBCCDDEEFF")
    app.press(page.find(1075))
    app.wait_result("写卡操作成功")
    card = saved_card(session, tmp, "1k-a.mfd")
    check(card[16 * 18:16 * 19].hex().upper() == "00112233445566778899AABBCCDDEEFF", "block 18 written")

    # Trailer of sector 4: cancelled, then written.
    page.choose(1096, "3")
    page.type(1091, "0102030405AA")
    page.type(1093, "FF078069")
    page.type(1088, "0A0B0C0D0E0F")
    app.press(page.find(1075))
    seen = app.answer_box("Cancel")
    check(seen == ("Warning", CONFIRM), "trailer confirmation %r" % (seen,))
    app.press(page.find(1075))
    check(app.answer_box("OK") == ("Warning", CONFIRM), "trailer confirmation again")
    app.wait_result("写卡操作成功")
    card = saved_card(session, tmp, "1k-b.mfd")
    check(card[16 * 19:16 * 20].hex().upper() == "0102030405AAFF0780690A0B0C0D0E0F", "trailer 19 written")

    # Access bits whose copies disagree are refused after the confirmation.
    page.type(1093, "FF0781")
    app.press(page.find(1075))
    check(app.answer_box("OK")[0] == "Warning", "confirmation before the check")
    check(app.answer_box()[0] == "Error", "inconsistent access bits refused")
    check(saved_card(session, tmp, "1k-c.mfd")[16 * 19:16 * 20] == card[16 * 19:16 * 20], "trailer unchanged")

    # The purse in sector 1, block 0 (key B authenticates there).
    page.choose(1050, "1")
    page.choose(1058, "0")
    app.press(page.find(1052))
    page.type(1053, key_b(1))
    page.type(1054, "100")
    check(app.text(page.find(1055)) == "64000000", "100 shows 64000000")
    app.press(page.find(1056))
    app.wait_result("初始化钱包操作成功")
    page.type(1054, "11")
    app.press(page.find(1057))
    app.wait_result("充值操作成功")
    page.type(1055, "")
    app.press(page.find(1059))
    check(app.answer_box() == ("Warning", "请在数据区输入数据"), "empty value box")
    app.press(page.find(1060))
    app.wait_result("读余额操作成功")
    check(app.text(page.find(1054)) == "111" and app.text(page.find(1055)) == "6F000000", "balance 111")

    app.screenshot(app.frame(), os.path.join(shots, "mifare-1k.png"))


def mifare_4k(app, session, tmp, shots, image):
    page = Page(app, 166, PANELS_4K)
    page.read(1, 32, key_a(32), False, image)
    page.read(1, 39, key_b(39), True, image)
    page.read(0, 31, key_b(31), True, image)
    page.read(0, 0, key_a(0), False, image)
    check(not app.enabled(page.find(1063)), "window 1: sector 0 block 0 not writable")
    check(app.enabled(page.find(1047)), "window 2's write button enabled")

    # Sector 39, block 15: block 255.
    page.choose(1062, "39")
    page.choose(1095, "15")
    app.press(page.find(1065))  # key B writes the trailer of an odd sector
    page.type(1045, key_b(39))
    page.type(1039, "112233445566")
    page.type(1040, "FF078069")
    page.type(1041, "778899AABBCC")
    app.press(page.find(1047))
    check(app.answer_box() == ("Warning", CONFIRM), "confirmation for block 15")
    app.wait_result("写卡操作成功")
    card = saved_card(session, tmp, "4k.mfd")
    check(card[16 * 255:].hex().upper() == "112233445566FF078069778899AABBCC", "block 255 written")

    items = page.find(1050)
    menu = items[0] if items.childCount else items
    check(menu.childCount == 32 and menu[31].name == "31", "purse sectors 0-31 only")

    app.screenshot(app.frame(), os.path.join(shots, "mifare-4k.png"))


def main(out_dir, shots):
    os.makedirs(shots, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="mifare-pages-")
    one = make_image(16, bytes.fromhex("11223344"), 0x08, b"\x04\x00")
    four = make_image(40, bytes.fromhex("55667788"), 0x18, b"\x02\x00")
    paths = {}
    for name, data in (("1k.mfd", one), ("4k.mfd", four)):
        paths[name] = os.path.join(tmp, "in-" + name)
        with open(paths[name], "wb") as f:
            f.write(data)
    with torvik_driver.Session(out_dir, cards=["mifare1k:uid=11223344,dump=" + paths["1k.mfd"]]) as session:
        app = session.launch()
        check(app.answer_box() == ("ConnectOK", "操作成功!"), "connected at start")
        mifare_1k(app, session, tmp, shots, one)

        app.press(app.button(32901))
        torvik_driver.wait_until("the Mifare4K page", lambda: app.title().endswith("Mifare4K"))
        session.readersim("remove 0")
        session.readersim("place mifare4k:uid=55667788,dump=" + paths["4k.mfd"])
        mifare_4k(app, session, tmp, shots, four)
        app.quit()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
