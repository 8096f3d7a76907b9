"""A private readersim for the Python tests: started in a fresh folder with
the cards given, stopped at the end."""
import os
import subprocess
import tempfile
import time

OUT = os.environ["KOVALINK_OUT"]


class ReaderSim:
    def __init__(self, *options):
        self.folder = tempfile.TemporaryDirectory()
        os.environ["TAVOHID_VIRTUAL_DIR"] = self.folder.name
        self.log = open(os.path.join(self.folder.name, "sim.log"), "w+")
        self.process = subprocess.Popen(
            [os.path.join(OUT, "readersim"), "--dir", self.folder.name, "--no-flash-file", *options],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        for _ in range(200):
            self.log.seek(0)
            if "serving" in self.log.read():
                return
            time.sleep(0.05)
        raise RuntimeError("readersim did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.log.close()
        self.folder.cleanup()


def help_text():
    return subprocess.run([os.path.join(OUT, "readersim"), "--help"], capture_output=True, text=True,
                          check=True).stdout
