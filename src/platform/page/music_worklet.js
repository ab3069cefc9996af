// The sound device's other half: plays the blocks of 48 kHz interleaved stereo the page
// sends, and asks for more while fewer than `lowFrames` are queued. While paused it plays
// silence and keeps what it holds. Every tenth of a second it reports how many frames it
// played and their level, which the page keeps for anyone who asks (the tests do).
const lowFrames = 2048;    // about 43 ms: ask for more below this
const targetFrames = 4096; // and fill up to this, about 85 ms ahead

class MusicPlayer extends AudioWorkletProcessor {
  constructor() {
    super();
    this.blocks = [];     // Float32Arrays of interleaved frames
    this.offset = 0;      // frames of blocks[0] already played
    this.queued = 0;      // frames waiting
    this.asked = false;   // a request is on its way
    this.playing = false;
    this.played = 0;
    this.sumOfSquares = 0;
    this.reported = 0;
    this.port.onmessage = (event) => this.receive(event.data);
  }

  receive(message) {
    if (message.samples) {
      this.blocks.push(message.samples);
      this.queued += message.samples.length / 2;
      this.asked = false;
    }
    if (message.play !== undefined) this.playing = message.play;
    if (message.clear) {
      this.blocks = [];
      this.offset = 0;
      this.queued = 0;
      this.asked = false;
    }
  }

  process(inputs, outputs) {
    const [left, right] = outputs[0];
    let written = 0;
    while (this.playing && written < left.length && this.blocks.length > 0) {
      const block = this.blocks[0];
      const frames = Math.min(left.length - written, block.length / 2 - this.offset);
      for (let i = 0; i < frames; ++i) {
        const l = block[2 * (this.offset + i)], r = block[2 * (this.offset + i) + 1];
        left[written + i] = l;
        right[written + i] = r;
        this.sumOfSquares += l * l + r * r;
      }
      written += frames;
      this.offset += frames;
      this.queued -= frames;
      this.played += frames;
      if (this.offset * 2 >= block.length) {
        this.blocks.shift();
        this.offset = 0;
      }
    }
    left.fill(0, written);
    right.fill(0, written);
    if (this.playing && !this.asked && this.queued < lowFrames) {
      this.asked = true;
      this.port.postMessage({ need: targetFrames - this.queued });
    }
    if (currentFrame - this.reported >= sampleRate / 10) {
      this.port.postMessage({ played: this.played, sumOfSquares: this.sumOfSquares });
      this.reported = currentFrame;
    }
    return true;
  }
}

registerProcessor('zorbel-music', MusicPlayer);
