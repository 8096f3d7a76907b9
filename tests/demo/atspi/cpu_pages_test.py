"""The CPU-card pages of the real torvik under a virtual display against
readersim (a type A and a type B processor card, a SAM in slot 1, a card in
the large contact slot), driven through the accessibility bus by their
automation ids: resets, APDUs typed and picked from the command book by
double-click, replies in the result lists, DES, the contact slot. The
program runs from a private copy of its folder, so its book files are its
own; they are read back after the run, after a restart, and after a run
whose saves fail (file size limit 0, as on a full disk), which must leave
the previous books whole. Saves screenshots of the three pages and the
book dialog.

usage: cpu_pages_test.py OUT_DIR SCREENSHOT_DIR
"""

import glob
import os
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import torvik_driver  # noqa: E402

CARDS = ["cpu-a:uid=A1B2C3D4", "cpu-b:pupi=11223344", "sam:slot=1", "contact"]
SAM_ATR = "3B18134B4F564153414D31"  # 3B 18 13 "KOVASAM1"
BOOKS = ("14443ACosBooks.j", "14443BCosBooks.j", "SamCosBooks.j")


def check(condition, what):
    if not condition:
        raise torvik_driver.DriverError(what)
    print("ok  " + what)


def read_book(path):
    """The entries of a book file: count, then length and text of each (32-bit little-endian)."""
    with open(path, "rb") as f:
        data = f.read()
    (count,), at, entries = struct.unpack_from("<i", data), 4, []
    for _ in range(count):
        (length,) = struct.unpack_from("<i", data, at)
        entries.append(data[at + 4:at + 4 + length].decode("ascii"))
        at += 4 + length
    check(at == len(data), "%s holds exactly its %d entries" % (os.path.basename(path), count))
    return entries


def private_program(session):
    """A copy of torvik with its libraries and AppConfig.ini in a folder of its own."""
    folder = os.path.join(session.tmp, "program")
    os.mkdir(folder)
    for pattern in ("torvik", "libKovalinkHID.so*", "libTavoHID.so*", "AppConfig.ini"):
        for path in glob.glob(os.path.join(session.out_dir, pattern)):
            shutil.copy2(path, folder, follow_symlinks=False)
    # The same program with every file write failing past 0 bytes.
    full = os.path.join(folder, "torvik-full-disk")
    with open(full, "w") as f:
        f.write('#!/bin/sh\ntrap "" XFSZ\nulimit -f 0\nexec "$(dirname "$0")/torvik" "$@"\n')
    os.chmod(full, 0o755)
    return folder


def lines(app, list_node):
    return [child.name for child in list_node if child is not None]


def wait_lines(app, list_node, count):
    return torvik_driver.wait_until("%d result lines" % count,
                                    lambda: (lambda l: l if len(l) == count else None)(lines(app, list_node)))


def send(app, page, field, button, command):
    app.type_into(app.find(field, page), command)
    app.press(app.find(button, page))


def double_click(app, node):
    x, y, w, h = app.extents(node)
    env = app.session.env
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + min(w, 60) // 2), str(y + h // 2)], check=True, env=env)
    time.sleep(0.2)
    subprocess.run(["xdotool", "click", "--repeat", "2", "--delay", "60", "1"], check=True, env=env)


def reset_on(app, command, page_id, reset_id):
    """Switches to a page by its toolbar button and presses its reset button; returns the page."""
    app.press(app.button(command))
    page = app.find(page_id)
    app.press(app.find(reset_id, page))
    app.wait_result("复位操作成功")
    return page


def type_a(app, shots):
    page = reset_on(app, 32830, 138, 1064)
    check(app.text(app.find(1058, page)) == "A1B2C3D4", "type A reset: CSN A1B2C3D4")
    check(app.text(app.find(1060, page)) == "09788070024B4F5641", "and the ATS as reset information")
    results = app.find(1062, page)
    send(app, page, 1056, 1057, "0084000008")
    app.wait_result("发送操作成功")
    send(app, page, 1056, 1057, "00A40000021234")
    got = wait_lines(app, results, 2)
    check(len(got[0]) == 20 and got[0].endswith("9000"), "GET CHALLENGE answered with 8 bytes and 9000")
    check(got[1] == "6A82", "SELECT of a missing file answered 6A82")
    app.screenshot(app.frame(), os.path.join(shots, "iso14443a-4.png"))

    app.press(app.find(1063, page))
    dialog = app.find(139)
    book = app.find(1062, dialog)
    check(lines(app, book) == ["0084000008", "00A40000021234"], "the book dialog lists both commands")
    app.screenshot(dialog, os.path.join(shots, "cos-book.png"))
    double_click(app, [child for child in book][0])
    torvik_driver.wait_until("the command in the field", lambda: app.text(app.find(1056, page)) == "0084000008")
    check(True, "a double-click put the command in the field")
    check(app._search(lambda n: n.description == "id 139") is None, "and closed the book")


def type_b(app, shots):
    page = reset_on(app, 32834, 145, 1064)
    check(app.text(app.find(1059, page)) == "11223344", "type B reset: PUPI 11223344")
    check(app.text(app.find(1060, page)).startswith("5011223344"), "and the ATQB")
    send(app, page, 1056, 1057, "00B08A0004")
    check(wait_lines(app, app.find(1062, page), 1) == ["000000009000"], "READ BINARY of the empty record file")
    app.screenshot(app.frame(), os.path.join(shots, "iso14443b-4.png"))


def contact(app, shots):
    page = reset_on(app, 32827, 140, 1073)
    check(app.text(app.find(1061, page)) == SAM_ATR, "SAM reset: its ATR")
    send(app, page, 1063, 1060, "00A40000021234")
    check(wait_lines(app, app.find(1074, page), 1) == ["6A82"], "the SAM answered 6A82")
    send(app, page, 1063, 1060, "00840000")
    check(app.answer_box() == ("error", "cos命令不得少于5字节!"), "a 4-byte command is refused")
    app.type_into(app.find(1056, page), "133457799BBCDFF1")
    app.type_into(app.find(1058, page), "0123456789ABCDEF")
    app.press(app.find(1066, page))
    torvik_driver.wait_until("the DES result", lambda: app.text(app.find(1059, page)) == "85E813540F0AB405")
    check(True, "DES of the FIPS vector: 85E813540F0AB405")
    app.press(app.find(1160, page))
    app.wait_result("CPU大卡存在")
    app.press(app.find(1158, page))
    app.wait_result("操作成功!")
    check(True, "contact slot: present, powered on")
    app.screenshot(app.frame(), os.path.join(shots, "iso7816-4.png"))


def main(out_dir, shots):
    os.makedirs(shots, exist_ok=True)
    with torvik_driver.Session(out_dir, cards=CARDS) as session:
        program = private_program(session)
        app = session.launch(program=os.path.join(program, "torvik"))
        check(app.answer_box() == ("ConnectOK", "操作成功!"), "connected at start")
        type_a(app, shots)
        type_b(app, shots)
        contact(app, shots)
        check(app.quit() == 0, "exit code 0")
        books = [read_book(os.path.join(program, name)) for name in BOOKS]
        check(books == [["0084000008", "00A40000021234"], ["00B08A0004"], ["00A40000021234"]],
              "the three books on disk: %r" % (books,))

        # A restart shows the contact page with its book.
        app = session.launch(program=os.path.join(program, "torvik"))
        app.answer_box()
        page = app.find(140)
        app.press(app.find(1065, page))
        dialog = app.find(139)
        check(lines(app, app.find(1062, dialog)) == ["00A40000021234"], "after a restart the book lists its command")
        app.press(app.find(1063, dialog))
        check(app.quit() == 0, "exit code 0")

        # Saves that fail leave the previous books whole.
        before = {name: open(os.path.join(program, name), "rb").read() for name in BOOKS}
        app = session.launch(program=os.path.join(program, "torvik-full-disk"))
        app.answer_box()
        page = app.find(140)
        app.press(app.find(1073, page))
        app.wait_result("复位操作成功")
        send(app, page, 1063, 1060, "0084000004")
        wait_lines(app, app.find(1074, page), 1)
        app.quit()
        after = {name: open(os.path.join(program, name), "rb").read() for name in BOOKS}
        check(after == before, "a failed save left every book as it was")
        leftovers = sorted(set(os.listdir(program)) - set(BOOKS) - {"torvik", "torvik-full-disk", "AppConfig.ini"}
                           - {os.path.basename(p) for p in glob.glob(os.path.join(program, "lib*.so*"))})
        check(leftovers == [], "and no temporary file behind (%r)" % leftovers)
    print("screenshots: " + shots)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
