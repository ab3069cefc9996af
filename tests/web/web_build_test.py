"""The web build against the Linux program.

The whole show computed by the web build in Node.js on the virtual clock must give the
Linux capture's pictures, frame by frame, and its bass level closely enough; the page, in
Debian's headless Chromium driven by Selenium and Debian's chromedriver, must load
cleanly, draw stills equal to the Linux captures, start its music on a key and hold
picture and sound on space.

Run by ctest with: ZORBEL_WEB (the web build folder), ZORBEL_LINUX (the Linux zorbel),
ZORBEL_REFERENCE (the golden capture of the shipped show at 60 fps: frames.csv and
frame-sums.txt).
"""
import csv
import functools
import http.server
import os
import struct
import subprocess
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains

WEB = os.environ['ZORBEL_WEB']
LINUX = os.environ['ZORBEL_LINUX']
REFERENCE = os.environ['ZORBEL_REFERENCE']
HERE = os.path.dirname(os.path.abspath(__file__))
CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                  '--disable-background-networking', '--disable-component-update', '--disable-sync',
                  '--hide-scrollbars', '--window-size=640,800']
# A moment inside each scene, as seconds of the show (whole frames at 60 fps).
SCENE_MOMENTS = {'fade': 3.5, 'picture1': 11, 'picture2': 18.5, 'picture3': 26, 'picture4': 33.5,
                 'wavy text': 45, 'ripple and cubes': 70, 'plasma': 110, 'stars': 160, 'late stars': 200,
                 'closing': 220, 'end': 259.5}


def as_float32(value):
    return struct.unpack('f', struct.pack('f', value))[0]


def linux_capture(seconds, folder):
    """The Linux program's picture of that moment at scale 8 (640 x 800), with its music."""
    subprocess.run([LINUX, '--capture', folder, '--from', str(seconds), '--to', str(seconds), '--scale', '8'],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return os.path.join(folder, 'frame-%06d.png' % round(seconds * 60))


def differing_pixels(first, second):
    result = subprocess.run(['compare', '-metric', 'AE', first, second, 'null:'], capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))  # "compare" reports on standard error


class WholeShow(unittest.TestCase):
    """Every frame on the web build's virtual clock against the Linux capture."""

    @classmethod
    def setUpClass(cls):
        output = subprocess.run(['node', os.path.join(HERE, 'show_frames.js'), os.path.join(WEB, 'zorbel-node.js')],
                                check=True, capture_output=True, text=True, timeout=600).stdout
        cls.web = [line.split() for line in output.splitlines()]
        with open(os.path.join(REFERENCE, 'frame-sums.txt')) as sums:
            cls.pictures = [line.split()[1] for line in sums]
        with open(os.path.join(REFERENCE, 'frames.csv')) as table:
            cls.rows = list(csv.DictReader(table))

    def test_every_frame_is_the_linux_picture_at_the_same_time(self):
        self.assertEqual(len(self.web), len(self.pictures))
        differing = [int(frame) for frame, checksum, _, _ in self.web if checksum != self.pictures[int(frame)]]
        self.assertEqual(differing[:10], [], '%d of %d frames differ' % (len(differing), len(self.web)))
        times = [as_float32(float(row['demo_time'])) for row in self.rows]
        self.assertEqual([as_float32(float(time)) for _, _, time, _ in self.web], times)

    def test_the_bass_level_follows_linux_over_the_plasma(self):
        plasma = [(line, row) for line, row in zip(self.web, self.rows) if 96 <= float(row['demo_time']) < 154]
        self.assertGreater(len(plasma), 3000)
        worst = max(abs(float(line[3]) - float(row['bass_level'])) / max(float(row['bass_level']), 1e-6)
                    for line, row in plasma)
        # FFTW's plan differs (Linux has AVX codelets, WebAssembly scalar ones): the last
        # bits may differ, never by enough to move a cell (the frames above are equal).
        self.assertLess(worst, 1e-5)


class Page(unittest.TestCase):
    """The page from a local static server in headless Chromium."""

    @classmethod
    def setUpClass(cls):
        handler = functools.partial(QuietHandler, directory=WEB)
        cls.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = 'http://127.0.0.1:%d/index.html' % cls.server.server_address[1]
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in CHROMIUM_FLAGS:
            options.add_argument(flag)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        cls.browser = webdriver.Chrome(service=Service(executable_path='/usr/bin/chromedriver'), options=options)
        # The window's size counts its frame; the page itself is to be 640 x 800.
        cls.browser.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                    {'width': 640, 'height': 800, 'deviceScaleFactor': 1, 'mobile': False})
        cls.scratch = tempfile.TemporaryDirectory()

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.shutdown()
        cls.scratch.cleanup()

    def page(self, expression):
        return self.browser.execute_script('return ' + expression)

    def wait_for_state(self, state, timeout=60):
        deadline = time.time() + timeout
        while self.page('window.zorbelPage && zorbelPage.state') != state:
            self.assertLess(time.time(), deadline, 'the page never reached "%s"' % state)
            time.sleep(0.05)

    def assert_no_console_errors(self):
        errors = [entry['message'] for entry in self.browser.get_log('browser') if entry['level'] == 'SEVERE']
        self.assertEqual(errors, [])

    def test_stills_of_every_scene_equal_the_linux_captures(self):
        for scene, seconds in SCENE_MOMENTS.items():
            with self.subTest(scene=scene, seconds=seconds):
                self.browser.get('%s?at=%s' % (self.url, seconds))
                self.wait_for_state('still')
                shot = os.path.join(self.scratch.name, 'page-%s.png' % seconds)
                self.browser.save_screenshot(shot)
                capture = linux_capture(seconds, os.path.join(self.scratch.name, 'linux-%s' % seconds))
                self.assertEqual(differing_pixels(shot, capture), 0)
        self.assert_no_console_errors()

    def test_a_key_starts_the_music_and_space_holds_picture_and_sound(self):
        self.browser.get(self.url)
        self.wait_for_state('prompt')
        self.assertIn('Press any key to continue . . .', self.page('document.body.innerText'))
        self.assertEqual(self.browser.title, 'QVO_4::Zorbel')
        self.assertEqual(self.page('zorbelPage.sound.played'), 0)

        ActionChains(self.browser).send_keys('x').perform()
        self.wait_for_state('playing', 10)
        time.sleep(2)
        played, level, frames = self.page('[zorbelPage.sound.played, zorbelPage.sound.sumOfSquares, zorbelPage.frames]')
        self.assertGreater(played, 48000, 'the worklet played less than a second of music')
        self.assertGreater(level / played, 1e-4, 'the music is silent')
        self.assertGreater(frames, 30)
        self.assertAlmostEqual(self.page('Module._zorbel_demo_time()'), 2, delta=0.5)

        ActionChains(self.browser).send_keys(' ').perform()
        time.sleep(0.3)  # what the worklet still held has played
        held = self.page('[zorbelPage.frames, zorbelPage.sound.played, document.getElementById("show").toDataURL()]')
        time.sleep(1)
        self.assertEqual(self.page('[zorbelPage.frames, zorbelPage.sound.played, '
                                   'document.getElementById("show").toDataURL()]'), held)

        ActionChains(self.browser).send_keys(' ').perform()
        time.sleep(1)
        self.assertGreater(self.page('zorbelPage.frames'), held[0])
        self.assertGreater(self.page('zorbelPage.sound.played'), held[1] + 24000)
        self.assert_no_console_errors()


    def test_a_page_that_cannot_keep_up_drops_frames_and_stays_on_time(self):
        self.browser.get(self.url)
        self.wait_for_state('prompt')
        ActionChains(self.browser).send_keys('x').perform()
        self.wait_for_state('playing', 10)
        time.sleep(0.5)
        # The page's thread held up for 1.5 s, as a hidden tab or a slow machine would.
        before = self.page('[Module._zorbel_demo_time(), zorbelPage.frames]')
        self.page('(() => { const end = performance.now() + 1500; while (performance.now() < end); })()')
        time.sleep(0.2)
        after = self.page('[Module._zorbel_demo_time(), zorbelPage.frames]')
        self.assertGreater(after[0] - before[0], 1.5, 'the show fell behind the clock')
        self.assertLess(after[1] - before[1], 30, 'the missed frames were drawn after all')


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


class StillFromTheCommandLine(unittest.TestCase):
    def test_a_chromium_screenshot_of_a_moment_is_the_capture_at_scale_8(self):
        with tempfile.TemporaryDirectory() as scratch:
            server = subprocess.Popen(['python3', '-m', 'http.server', '0', '--bind', '127.0.0.1'], cwd=WEB,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            try:
                with server.stdout:
                    port = server.stdout.readline().split(' port ')[1].split()[0]
                shot = os.path.join(scratch, 'still.png')
                subprocess.run(['chromium', *CHROMIUM_FLAGS, '--user-data-dir=' + os.path.join(scratch, 'profile'),
                                '--virtual-time-budget=120000', '--screenshot=' + shot,
                                'http://127.0.0.1:%s/index.html?at=100' % port],
                               check=True, capture_output=True, timeout=300)
                self.assertEqual(differing_pixels(shot, linux_capture(100, os.path.join(scratch, 'linux'))), 0)
            finally:
                server.kill()
                server.wait()


if __name__ == '__main__':
    unittest.main()
