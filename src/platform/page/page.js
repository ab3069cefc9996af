// The web page around the show: the key prompt, the picture on a canvas, the keys, the
// sound's Web Audio half, and `?at=T` for a still of any moment. The show itself is the
// WebAssembly module (zorbel.js), which calls `Module.zorbelSound` for its sound device.
'use strict';

const pictureWidth = 80, pictureHeight = 100;
const promptBox = document.getElementById('prompt');
const canvas = document.getElementById('show');
const context2d = canvas.getContext('2d');
const image = context2d.createImageData(pictureWidth, pictureHeight);
const stillSeconds = new URLSearchParams(location.search).get('at');

// What the page has done so far, for whoever drives it (the tests read it).
const zorbelPage = {
  state: 'loading',  // then 'prompt', 'playing', 'still' or 'failed'
  frames: 0,         // pictures drawn
  sound: { played: 0, sumOfSquares: 0 },  // as the worklet last reported
  shownAt: {},       // performance.now() when the prompt, the first frame or the still showed
};
window.zorbelPage = zorbelPage;

// The largest whole-number scale that fits the window, centred, with no smoothing.
function placeCanvas() {
  const scale = Math.max(1, Math.floor(Math.min(innerWidth / pictureWidth, innerHeight / pictureHeight)));
  const width = pictureWidth * scale, height = pictureHeight * scale;
  canvas.style.width = width + 'px';
  canvas.style.height = height + 'px';
  canvas.style.left = Math.max(0, Math.floor((innerWidth - width) / 2)) + 'px';
  canvas.style.top = Math.max(0, Math.floor((innerHeight - height) / 2)) + 'px';
}

function drawPicture() {
  const indices = Module.HEAPU8.subarray(Module._zorbel_picture(), Module._zorbel_picture() + pictureWidth * pictureHeight);
  const palette = Module.HEAPU8.subarray(Module._zorbel_palette(), Module._zorbel_palette() + 48);
  const pixels = image.data;
  for (let i = 0; i < indices.length; ++i) {
    pixels[4 * i] = palette[3 * indices[i]];
    pixels[4 * i + 1] = palette[3 * indices[i] + 1];
    pixels[4 * i + 2] = palette[3 * indices[i] + 2];
    pixels[4 * i + 3] = 255;
  }
  context2d.putImageData(image, 0, 0);
  zorbelPage.frames += 1;
}

function showCanvas() {
  promptBox.style.display = 'none';
  canvas.style.display = 'block';
  placeCanvas();
}

// The sound device: an AudioWorklet at the show's 48 kHz (the browser resamples for its
// output), fed with the blocks the show renders when the worklet asks.
const sound = {
  context: null,
  node: null,

  // Made during the viewer's key or click, which is when browsers let sound start.
  async prepare() {
    try {
      this.context = new AudioContext({ sampleRate: 48000, latencyHint: 'interactive' });
      await this.context.audioWorklet.addModule('music_worklet.js');
      this.node = new AudioWorkletNode(this.context, 'zorbel-music', { numberOfInputs: 0, outputChannelCount: [2] });
      this.node.port.onmessage = (event) => this.receive(event.data);
      this.node.connect(this.context.destination);
    } catch (error) {
      console.warn('zorbel: no sound: ' + error);
      this.node = null;
    }
  },
  open() { return this.node !== null; },
  start() {
    this.context.resume();
    this.node.port.postMessage({ play: true });
    return true;
  },
  pause() { this.node.port.postMessage({ play: false }); },
  stop() { if (this.node) this.node.port.postMessage({ play: false, clear: true }); },
  receive(message) {
    if (message.need) {
      const address = Module._zorbel_render_audio(message.need);
      if (address === 0) return;
      const samples = Module.HEAPF32.slice(address / 4, address / 4 + 2 * message.need);
      this.node.port.postMessage({ samples }, [samples.buffer]);
    }
    if (message.played !== undefined) {
      zorbelPage.sound.played = message.played;
      zorbelPage.sound.sumOfSquares = message.sumOfSquares;
    }
  },
};

function animate() {
  if (Module._zorbel_frame()) drawPicture();
  requestAnimationFrame(animate);
}

// The data and the music are read while the prompt shows; the sound starts with the show.
async function beginShow() {
  if (zorbelPage.state !== 'prompt') return;
  zorbelPage.state = 'starting';
  await sound.prepare();
  Module._zorbel_begin();
  showCanvas();
  drawPicture();
  zorbelPage.state = 'playing';
  zorbelPage.shownAt.firstFrame = performance.now();
  requestAnimationFrame(animate);
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen().catch(() => {});
}

function onKey(event) {
  zorbelPage.keyAt = performance.now();
  if (event.ctrlKey || event.altKey || event.metaKey) return;
  if (zorbelPage.state === 'prompt') {
    if (['Shift', 'Control', 'Alt', 'Meta', 'CapsLock', 'Tab'].includes(event.key)) return;
    event.preventDefault();
    beginShow();
  } else if (zorbelPage.state === 'playing') {
    if (event.key === ' ') {
      event.preventDefault();
      Module._zorbel_toggle_pause();
    } else if (event.key === 'f' || event.key === 'F') {
      toggleFullScreen();
    }
  }
}

function showStill(seconds) {
  zorbelPage.state = 'computing';
  if (!Module._zorbel_still(seconds)) {
    zorbelPage.state = 'failed';
    promptBox.textContent = 'The show\'s data could not be read.';
    return;
  }
  showCanvas();
  drawPicture();
  zorbelPage.state = 'still';
  zorbelPage.shownAt.still = performance.now();
}

var Module = {
  zorbelSound: sound,
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onRuntimeInitialized() {
    document.title = Module.UTF8ToString(Module._zorbel_title());
    addEventListener('resize', placeCanvas);
    if (stillSeconds !== null && stillSeconds !== '' && isFinite(Number(stillSeconds))) {
      showStill(Math.max(0, Number(stillSeconds)));
      return;
    }
    if (!Module._zorbel_load()) {
      zorbelPage.state = 'failed';
      promptBox.textContent = 'The show\'s data could not be read.';
      return;
    }
    promptBox.textContent = Module.UTF8ToString(Module._zorbel_prompt_line()) +
      '\n\nAny key or a click starts the show and its music; space pauses, f toggles full screen.';
    zorbelPage.state = 'prompt';
    zorbelPage.shownAt.prompt = performance.now();
    addEventListener('keydown', onKey);
    promptBox.addEventListener('click', beginShow);
  },
};
