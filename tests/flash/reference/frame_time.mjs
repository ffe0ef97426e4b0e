// The reference player's frame time: the open Flash player Ruffle plays a movie at a given
// size in headless Chromium with the frame rate limit off and the movie's own rate raised far
// above what it can draw, so that every animation frame of the page draws a new movie frame.
// Prints one line: the intervals between the page's animation frames, in milliseconds.
//   node frame_time.mjs MOVIE.swf WIDTH HEIGHT SECONDS
import { openRufflePage } from './ruffle_page.mjs';

const [movie, width, height, seconds] = process.argv.slice(2);
if (!movie || !width || !height) {
  console.error('usage: node frame_time.mjs MOVIE.swf WIDTH HEIGHT [SECONDS]');
  process.exit(2);
}
const { page, close } = await openRufflePage((name) => (name === 'movie.swf' ? movie : null), {
  viewport: { width: Number(width), height: Number(height) },
  args: ['--disable-frame-rate-limit', '--disable-gpu-vsync'],
});
const intervals = await page.evaluate(async ({ url, width, height, seconds }) => {
  const player = window.RufflePlayer.newest().createPlayer();
  player.style.width = `${width}px`;
  player.style.height = `${height}px`;
  player.style.display = 'block';
  document.getElementById('stage').appendChild(player);
  const options = { url, autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false, contextMenu: 'off',
                    letterbox: 'off', quality: 'high', preloader: false, allowScriptAccess: false, frameRate: 1000 };
  await (player.ruffle ? player.ruffle().load(options) : player.load(options));
  // A second to settle (the movie loads and the first frames compile), then the measure.
  await new Promise((ok) => setTimeout(ok, 1000));
  const out = [];
  let last = performance.now();
  const end = last + seconds * 1000;
  await new Promise((done) => {
    const frame = (now) => {
      out.push(now - last);
      last = now;
      if (now < end) requestAnimationFrame(frame);
      else done();
    };
    requestAnimationFrame(frame);
  });
  return out.slice(1);
}, { url: '/movies/movie.swf', width: Number(width), height: Number(height), seconds: Number(seconds || 5) });
console.log(intervals.map((v) => v.toFixed(3)).join(' '));
await close();
