// Draws the first frame of every movie in a folder with the open Flash player Ruffle, in
// headless Chromium without network, and saves it beside the movie as NAME.ruffle.png at the
// movie's own stage size.
//   node render.mjs FOLDER
// Ruffle's files are served from node_modules on 127.0.0.1; the browser reaches nothing else.
import { existsSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';
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

// Device fonts: Ruffle is given the faces the system's font matching picks for Flash's
// device font names on this machine (Liberation, the metric twins of Arial, Times New Roman
// and Courier New), so that both players set device text in the same face.
const fontFolder = '/usr/share/fonts/truetype/liberation';
const faces = { sans: 'LiberationSans-Regular.ttf', serif: 'LiberationSerif-Regular.ttf',
                typewriter: 'LiberationMono-Regular.ttf' };
const { page, close } = await openRufflePage((name) =>
  name.startsWith('fonts/') ? join(fontFolder, basename(name)) : join(folder, name));
const fontSources = Object.values(faces).filter((f) => existsSync(join(fontFolder, f))).map((f) => `/movies/fonts/${f}`);
const defaultFonts = { sans: ['Liberation Sans'], serif: ['Liberation Serif'], typewriter: ['Liberation Mono'] };
page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') console.error(`  ruffle: ${m.text()}`); });

let drawn = 0;
for (const name of readdirSync(folder).filter((f) => f.endsWith('.swf')).sort()) {
  const size = stageSize(readFileSync(join(folder, name)));
  await page.evaluate(async ({ url, size, fontSources, defaultFonts }) => {
    const stage = document.getElementById('stage');
    stage.innerHTML = '';
    const player = window.RufflePlayer.newest().createPlayer();
    player.style.width = `${size.width}px`;
    player.style.height = `${size.height}px`;
    player.style.display = 'block';
    stage.appendChild(player);
    const options = { url, autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false, contextMenu: 'off',
                      letterbox: 'off', quality: 'high', preloader: false, allowScriptAccess: false,
                      fontSources, defaultFonts };
    await (player.ruffle ? player.ruffle().load(options) : player.load(options));
  }, { url: `/movies/${name}`, size, fontSources, defaultFonts });
  // A few frames for the movie to load and draw; the movies drawn here hold one frame.
  await page.waitForTimeout(700);
  const png = await page.locator('#stage > *').first().screenshot({ omitBackground: false });
  writeFileSync(join(folder, name.replace(/\.swf$/, '.ruffle.png')), png);
  ++drawn;
}
console.log(`ruffle: ${drawn} movies drawn`);
await close();
