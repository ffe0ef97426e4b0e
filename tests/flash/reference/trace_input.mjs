// Plays one movie with Ruffle in headless Chromium, feeds it mouse and key input, and prints
// what its trace() calls printed, one line each, on standard output.
//   node trace_input.mjs MOVIE WIDTH HEIGHT [STEP ...]
// A step is move:X,Y  down:X,Y  up:X,Y  key:NAME (a Playwright key name)  wait:MS, with X and
// Y in stage pixels; the player is drawn at the stage's size, so they are page pixels too.
import { basename } from 'node:path';
import { openRufflePage } from './ruffle_page.mjs';

const [movie, width, height, ...steps] = process.argv.slice(2);
if (!movie || !width || !height) {
  console.error('usage: node trace_input.mjs MOVIE WIDTH HEIGHT [STEP ...]');
  process.exit(2);
}
const { page, close } = await openRufflePage((name) => (name === basename(movie) ? movie : null));
// Ruffle logs a trace as a styled record, "%cINFO%c web/src/log_adapter.rs:N%c TEXT", and the
// styles as further arguments: the text is what follows the record's last style mark.
const pending = [];
page.on('console', (m) => {
  if (!m.text().includes('log_adapter.rs')) return;
  pending.push(m.args()[0].jsonValue().then((format) => format.split('%c').pop().replace(/^ /, '')));
});
await page.evaluate(async ({ url, width, height }) => {
  const stage = document.getElementById('stage');
  const player = window.RufflePlayer.newest().createPlayer();
  player.style.width = `${width}px`;
  player.style.height = `${height}px`;
  player.style.display = 'block';
  stage.appendChild(player);
  const options = { url, autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false, contextMenu: 'off',
                    letterbox: 'off', preloader: false, allowScriptAccess: false, logLevel: 'info' };
  await (player.ruffle ? player.ruffle().load(options) : player.load(options));
}, { url: `/movies/${basename(movie)}`, width: Number(width), height: Number(height) });
await page.waitForTimeout(800);
// Playwright's own presses do not reach Ruffle's canvas in headless Chromium: the mouse is the
// canvas's pointer events, sent to it, and the keys go to the player once it has the focus.
const pointer = (type, x, y) => page.evaluate(({ type, x, y }) => {
  const player = document.querySelector('#stage > *');
  const canvas = player.shadowRoot.querySelector('canvas');
  canvas.dispatchEvent(new PointerEvent(type, { clientX: x, clientY: y, button: 0, buttons: type === 'pointerdown' ? 1 : 0,
                                                pointerType: 'mouse', isPrimary: true, bubbles: true, pointerId: 1 }));
  player.focus();
}, { type, x, y });
for (const step of steps) {
  const [kind, arg] = step.split(/:(.*)/s);
  const [x, y] = (arg || '').split(',').map(Number);
  if (kind === 'move') await pointer('pointermove', x, y);
  else if (kind === 'down') { await pointer('pointermove', x, y); await pointer('pointerdown', x, y); }
  else if (kind === 'up') { await pointer('pointermove', x, y); await pointer('pointerup', x, y); }
  else if (kind === 'key') await page.keyboard.press(arg);
  else if (kind === 'wait') await page.waitForTimeout(x);
  else throw new Error(`unknown step ${step}`);
  await page.waitForTimeout(150);
}
await page.waitForTimeout(300);
await close();
for (const l of await Promise.all(pending)) console.log(l);
