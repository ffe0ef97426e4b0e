// Draws the first frame of every movie in a folder with the open Flash player Ruffle, in
// headless Chromium without network, and saves it beside the movie as NAME.ruffle.png at the
// movie's own stage size.
//   node render.mjs FOLDER
// Ruffle's files are served from node_modules on 127.0.0.1; the browser reaches nothing else.
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { inflateSync } from 'node:zlib';
import { openRufflePage } from './ruffle_page.mjs';

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node render.mjs FOLDER');
  process.exit(2);
}

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

const { page, close } = await openRufflePage((name) => join(folder, name));
page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') console.error(`  ruffle: ${m.text()}`); });

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
  }, { url: `/movies/${name}`, size });
  // A few frames for the movie to load and draw; the movies drawn here hold one frame.
  await page.waitForTimeout(700);
  const png = await page.locator('#stage > *').first().screenshot({ omitBackground: false });
  writeFileSync(join(folder, name.replace(/\.swf$/, '.ruffle.png')), png);
  ++drawn;
}
console.log(`ruffle: ${drawn} movies drawn`);
await close();
