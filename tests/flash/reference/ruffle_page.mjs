// A page of headless Chromium with Ruffle loaded, and nothing else reachable: Ruffle's files
// and the movies are served from 127.0.0.1, every other request is refused.
//   const { page, base, close } = await openRufflePage((path) => file or null, options)
// movieFile maps a request path below /movies/ to the file it serves.
import { createServer } from 'node:http';
import { readFileSync, existsSync, mkdtempSync } from 'node:fs';
import { join, extname, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { tmpdir } from 'node:os';
import { chromium } from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));
const ruffleDir = join(here, 'node_modules', '@ruffle-rs', 'ruffle');
const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.swf': 'application/x-shockwave-flash',
                '.html': 'text/html' };

export async function openRufflePage(movieFile, { viewport = null, args = [] } = {}) {
  const server = createServer((req, res) => {
    const url = decodeURIComponent(req.url.split('?')[0]);
    let file = null;
    if (url.startsWith('/ruffle/')) file = join(ruffleDir, url.slice(8));
    else if (url.startsWith('/movies/')) file = movieFile(url.slice(8));
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
    ...(viewport ? { viewport } : {}),
    args: ['--no-sandbox', '--disable-background-networking', '--disable-gpu', '--use-gl=swiftshader', ...args],
  });
  const page = context.pages()[0] || (await context.newPage());
  await page.route('**/*', (route) => (route.request().url().startsWith(base) ? route.continue() : route.abort()));
  await page.goto(`${base}/index.html`);
  await page.waitForFunction(() => window.RufflePlayer && window.RufflePlayer.newest);
  const close = async () => {
    await context.close();
    server.close();
  };
  return { page, base, close };
}
