// Draws the first frame of every movie in a folder with the open Flash player Ruffle, in
// headless Chromium without network, and saves it beside the movie as NAME.ruffle.png at the
// movie's own stage size.
//   node render.mjs FOLDER
// Ruffle's files are served from node_modules on 127.0.0.1; the browser reaches nothing else.
import { createServer } from 'node:http';
import { readFileSync, readdirSync, writeFileSync, existsSync } from 'node:fs';
import { join, extname, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { inflateSync } from 'node:zlib';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { chromium } from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));
const folder = process.argv[2];
if (!folder) {
  console.error('usage: node render.mjs FOLDER');
  process.exit(2);
}
const ruffleDir = join(here, 'node_modules', '@ruffle-rs', 'ruffle');

// The stage size in pixels from the movie's header.
function stageSize(bytes) {
  let body = bytes.subarray(8);
  if (bytes[0] === 0x43) body = inflateSync(body, { finishFlush: 2 });
  let bit = 0;
  const bits = (n) => {
    let v = 0;
    for (let i = 0; i < n; ++i, ++bit) v = (v << 1) | ((body[bit >> 3] >> (7 - (bit & 7))) & 1);
    return v;
  };
  const sbits = (n) => {
    const v = bits(n);
    return v & (1 << (n - 1)) ? v - (1 << n) : v;
  };
  const n = bits(5);
  const xMin = sbits(n), xMax = sbits(n), yMin = sbits(n), yMax = sbits(n);
  return { width: Math.round((xMax - xMin) / 20), height: Math.round((yMax - yMin) / 20) };
}

const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.swf': 'application/x-shockwave-flash',
                '.html': 'text/html' };
const server = createServer((req, res) => {
  const url = decodeURIComponent(req.url.split('?')[0]);
  let file = null;
  if (url.startsWith('/ruffle/')) file = join(ruffleDir, url.slice(8));
  else if (url.startsWith('/movies/')) file = join(folder, url.slice(8));
  else if (url === '/index.html')
    return res.writeHead(200, { 'content-type': 'text/html' }).end(
      '<!doctype html><html><body style="margin:0;background:#fff"><div id="stage"></div>' +
      '<script src="/ruffle/ruffle.js"></script></body></html>');
  if (!file || !existsSync(file)) return res.writeHead(404).end();
  res.writeHead(200, { 'content-type': types[extname(file)] || 'application/octet-stream' });
  res.end(readFileSync(file));
});
await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
const base = `http://127.0.0.1:${server.address().port}`;

// A fresh profile each run, so nothing of an earlier run (or a user's) comes along.
const context = await chromium.launchPersistentContext(mkdtempSync(join(tmpdir(), 'vitrine-ruffle-')), {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  deviceScaleFactor: 1,
  args: ['--no-sandbox', '--disable-background-networking', '--disable-gpu', '--use-gl=swiftshader'],
});
const page = context.pages()[0] || (await context.newPage());
await page.route('**/*', (route) => (route.request().url().startsWith(base) ? route.continue() : route.abort()));
page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') console.error(`  ruffle: ${m.text()}`); });
await page.goto(`${base}/index.html`);
await page.waitForFunction(() => window.RufflePlayer && window.RufflePlayer.newest);

let drawn = 0;
for (const name of readdirSync(folder).filter((f) => f.endsWith('.swf')).sort()) {
  const size = stageSize(readFileSync(join(folder, name)));
  await page.evaluate(async ({ url, size }) => {
    const stage = document.getElementById('stage');
    stage.innerHTML = '';
    const player = window.RufflePlayer.newest().createPlayer();
    player.style.width = `${size.width}px`;
    player.style.height = `${size.height}px`;
    player.style.display = 'block';
    stage.appendChild(player);
    const options = { url, autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false, contextMenu: 'off',
                      letterbox: 'off', quality: 'high', preloader: false, allowScriptAccess: false };
    await (player.ruffle ? player.ruffle().load(options) : player.load(options));
  }, { url: `${base}/movies/${name}`, size });
  // A few frames for the movie to load and draw; the movies drawn here hold one frame.
  await page.waitForTimeout(700);
  const png = await page.locator('#stage > *').first().screenshot({ omitBackground: false });
  writeFileSync(join(folder, name.replace(/\.swf$/, '.ruffle.png')), png);
  ++drawn;
}
console.log(`ruffle: ${drawn} movies drawn`);
await context.close();
server.close();
