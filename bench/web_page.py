"""The web build beside the native program: file sizes, time to the prompt and to the
first frame from a local server, time per frame on the same frames (the whole show with
its music on the virtual clock) in Node.js, headless Chromium and natively, and the CPU
use of the live show in the page and in a terminal.

    /usr/bin/python3 bench/web_page.py [build-web] [build]

Needs the web build (./dev web), the native build with its benchmarks, and the packages of
scripts/packages-web.txt. Prints a table; asserts nothing.
"""
import functools
import gzip
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains

WEB = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else 'build-web')
NATIVE = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else 'build')
HERE = os.path.dirname(os.path.abspath(__file__))
FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync', '--window-size=640,800']
LIVE_SECONDS = 10
# The whole show on the virtual clock, as the page's hooks compute it; per-frame times in ms.
FRAME_LOOP = '''
  const times = [];
  Module._zorbel_virtual_start(1);
  for (let frame = 1; frame <= 15600; ++frame) {
    const began = performance.now();
    Module._zorbel_virtual_frame(frame, 60);
    times.push(performance.now() - began);
  }
  return times;
'''


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open('/proc/%d/stat' % pid) as stat:
                fields = stat.read().rsplit(')', 1)[1].split()
            total += (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')
        except OSError:
            pass
    return total


def processes_with(text):
    found = []
    for name in os.listdir('/proc'):
        if name.isdigit():
            try:
                with open('/proc/%s/cmdline' % name, 'rb') as cmdline:
                    if text.encode() in cmdline.read():
                        found.append(int(name))
            except OSError:
                pass
    return found


def summary(times):
    times = sorted(times)
    return 'mean %.3f ms, median %.3f ms, slowest %.2f ms' % (sum(times) / len(times), times[len(times) // 2], times[-1])


def sizes():
    print('File sizes (bytes, and gzip -9):')
    for name in ['zorbel.wasm', 'zorbel.js', 'zorbel.data', 'page.js', 'music_worklet.js', 'index.html']:
        with open(os.path.join(WEB, name), 'rb') as file:
            data = file.read()
        print('  %-18s %9d  %9d' % (name, len(data), len(gzip.compress(data, 9))))


def node_frames():
    script = 'const c = require(process.argv[1]); c().then((Module) => { const t = (() => {%s})(); ' \
             'console.log(JSON.stringify(t)); });' % FRAME_LOOP
    output = subprocess.run(['node', '-e', script, os.path.join(WEB, 'zorbel-node.js')], check=True,
                            capture_output=True, text=True).stdout
    import json
    return json.loads(output)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


def page(profile):
    handler = functools.partial(QuietHandler, directory=WEB)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in FLAGS + ['--user-data-dir=' + profile]:
        options.add_argument(flag)
    browser = webdriver.Chrome(service=Service(executable_path='/usr/bin/chromedriver'), options=options)
    return server, browser, 'http://127.0.0.1:%d/index.html' % server.server_address[1]


def wait_for(browser, state):
    while browser.execute_script('return window.zorbelPage && zorbelPage.state') != state:
        time.sleep(0.01)


def browser_figures():
    with tempfile.TemporaryDirectory() as profile:
        server, browser, url = page(profile)
        try:
            browser.get(url)
            wait_for(browser, 'prompt')
            print('Prompt shown %.0f ms after the page was asked for' % browser.execute_script('return zorbelPage.shownAt.prompt'))
            ActionChains(browser).send_keys('x').perform()
            wait_for(browser, 'playing')
            print('First frame %.0f ms after the key' % browser.execute_script(
                'return zorbelPage.shownAt.firstFrame - zorbelPage.keyAt'))
            chromium = processes_with(profile)
            before, frames_before = cpu_seconds(chromium), browser.execute_script('return zorbelPage.frames')
            time.sleep(LIVE_SECONDS)
            used = cpu_seconds(chromium) - before
            frames = browser.execute_script('return zorbelPage.frames') - frames_before
            print('Live page: %.0f frames a second, Chromium\'s processes use %.0f%% of a core' %
                  (frames / LIVE_SECONDS, 100 * used / LIVE_SECONDS))
            browser.get(url + '?at=100')
            wait_for(browser, 'still')
            print('Still of second 100 shown %.0f ms after the page was asked for' %
                  browser.execute_script('return zorbelPage.shownAt.still'))
            browser.set_script_timeout(600)
            return browser.execute_script(FRAME_LOOP)
        finally:
            browser.quit()
            server.shutdown()


def native_live():
    session = 'zorbel-bench-%d' % os.getpid()
    subprocess.run(['tmux', 'new-session', '-d', '-s', session, '-x', '80', '-y', '50',
                    os.path.join(NATIVE, 'zorbel')], check=True)
    try:
        time.sleep(1)
        subprocess.run(['tmux', 'send-keys', '-t', session, 'x'], check=True)
        time.sleep(1)
        pid = int(subprocess.run(['tmux', 'display', '-p', '-t', session, '#{pane_pid}'], capture_output=True,
                                 text=True, check=True).stdout)
        before = cpu_seconds([pid])
        time.sleep(LIVE_SECONDS)
        print('Live in tmux (80 x 50): zorbel uses %.0f%% of a core' % (100 * (cpu_seconds([pid]) - before) / LIVE_SECONDS))
    finally:
        subprocess.run(['tmux', 'kill-session', '-t', session])


def main():
    sizes()
    chromium_times = browser_figures()
    native_live()
    print('The whole show with its music on the virtual clock (15,600 frames), per frame:')
    print('  Chromium: ' + summary(chromium_times))
    print('  Node.js:  ' + summary(node_frames()))
    native = subprocess.run([os.path.join(NATIVE, 'bench', 'bench_show_frames')], capture_output=True, text=True).stdout
    print('  native (bench_show_frames):\n' + native.strip().splitlines()[-1])


main()
