// Prints every frame of the show as the web build computes it on the virtual clock at 60
// frames a second, music decoded: "frame checksum demo_time bass_level" per line.
//   node show_frames.js path/to/zorbel-node.js [last-frame]
'use strict';
const createZorbel = require(process.argv[2]);
const lastFrame = Number(process.argv[3] || 15600);

createZorbel().then((show) => {
  if (!show._zorbel_virtual_start(1)) {
    console.error('the show did not start');
    process.exit(1);
  }
  const lines = [];
  const record = (frame) => lines.push(`${frame} ${show.UTF8ToString(show._zorbel_picture_checksum())} ` +
    `${show._zorbel_demo_time()} ${show._zorbel_bass_level()}`);
  record(0);
  for (let frame = 1; frame <= lastFrame; ++frame) {
    show._zorbel_virtual_frame(frame, 60);
    record(frame);
  }
  process.stdout.write(lines.join('\n') + '\n');
});
