// The reference player's frame time: the open Flash player Ruffle plays a movie at a given
// size in headless Chromium with the frame rate limit off and the movie's own rate raised far
// above what it can draw, so that every animation frame of the page draws a new movie frame.
// Prints one line: the intervals between the page's animation frames, in milliseconds.
//   node frame_time.mjs MOVIE.swf WIDTH HEIGHT SECONDS
import { createServer } from 'node:http';
import { readFileSync, existsSync, mkdtempSync } from 'node:fs';
import { join, extname, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { tmpdir } from 'node:os';
import { chromium } from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));
const [movie, width, height, seconds] = process.argv.slice(2);
if (!movie || !width || !height) {
  console.error('usage: node frame_time.mjs MOVIE.swf WIDTH HEIGHT [SECONDS]');
  process.exit(2);
}
const ruffleDir = join(here, 'node_modules', '@ruffle-rs', 'ruffle');
const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.swf': 'application/x-shockwave-flash' };
const server = createServer((req, res) => {
  const url = decodeURIComponent(req.url.split('?')[0]);
  let file = null;
  if (url.startsWith('/ruffle/')) file = join(ruffleDir, url.slice(8));
  else if (url === '/movie.swf') file = movie;
  else if (url === '/index.html')
    return res.writeHead(200, { 'content-type': 'text/html' }).end(
      '<!doctype html><html><body style="margin:0"><div id="stage"></div>' +
      '<script src="/ruffle/ruffle.js"></script></body></html>');
  if (!file || !existsSync(file)) return res.writeHead(404).end();
  res.writeHead(200, { 'content-type': types[extname(file)] || 'application/octet-stream' });
  res.end(readFileSync(file));
});
await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
const base = `http://127.0.0.1:${server.address().port}`;

const context = await chromium.launchPersistentContext(mkdtempSync(join(tmpdir(), 'vitrine-ruffle-time-')), {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  deviceScaleFactor: 1,
  viewport: { width: Number(width), height: Number(height) },
  args: ['--no-sandbox', '--disable-background-networking', '--disable-gpu', '--use-gl=swiftshader',
         '--disable-frame-rate-limit', '--disable-gpu-vsync'],
});
const page = context.pages()[0] || (await context.newPage());
await page.route('**/*', (route) => (route.request().url().startsWith(base) ? route.continue() : route.abort()));
await page.goto(`${base}/index.html`);
await page.waitForFunction(() => window.RufflePlayer && window.RufflePlayer.newest);
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
}, { url: `${base}/movie.swf`, width: Number(width), height: Number(height), seconds: Number(seconds || 5) });
console.log(intervals.map((v) => v.toFixed(3)).join(' '));
await context.close();
server.close();
