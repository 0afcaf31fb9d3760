// The browser build's frame rate in Debian's headless Chromium with software
// WebGL (SwiftShader): the page of ?seed=N left alone for a while, its passes
// counted by the one glClear each pass makes. Prints the passes a second,
// the median and 90th-percentile pass over the measured stretch, and per
// pass the WebGL draw calls, the vertices they draw (indices, for indexed
// draws) and the bytes sent to buffers (bufferData with data and
// bufferSubData), which is how Emscripten's GL emulation hands over
// vertices. A size (WxH) sets the game's window in the page's
// settings.ini before the game reads it. A share below 1 is a question, not
// a measure of the game: every indexed draw of more than 600 indices (the
// world's; the models' and the HUD's are smaller) draws only that share of
// its triangles, to show what the triangles of a pass cost against the rest
// of it. It measures older pages too, which have no message element.
//   node bench/web/frame_rate.mjs build-web/page [seed] [warm-up s] [measured s] [WxH] [share]
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import path from 'node:path';

const [page_dir, seed = '7', warm = '10', measured = '30', size = '', share = '1'] = process.argv.slice(2);
const { chromium } = createRequire(path.resolve('web') + '/')('playwright-core');
const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', page_dir]);
let browser;
try {
  const port = await new Promise((resolve) => server.stdout.on('data', (d) => resolve(/port (\d+)/.exec(String(d))?.[1])));
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic',
      '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage({ viewport: { width: 1100, height: 900 } });
  await page.addInitScript(({ size, share }) => {
    window.clears = [];
    window.draws = 0;
    window.drawn = 0;
    window.sent = 0;
    const gl = WebGLRenderingContext.prototype;
    const clear = gl.clear;
    gl.clear = function (mask) { clears.push({ at: performance.now(), draws, drawn, sent }); return clear.call(this, mask); };
    const drawArrays = gl.drawArrays, drawElements = gl.drawElements;
    gl.drawArrays = function (mode, first, count) { ++draws; drawn += count; return drawArrays.call(this, mode, first, count); };
    gl.drawElements = function (mode, count, ...rest) {
      if (count > 600) count = Math.floor(count * Number(share) / 6) * 6;
      ++draws;
      drawn += count;
      return drawElements.call(this, mode, count, ...rest);
    };
    const bufferData = gl.bufferData, bufferSubData = gl.bufferSubData;
    gl.bufferData = function (target, data, ...rest) { if (typeof data !== 'number' && data) sent += data.byteLength; return bufferData.call(this, target, data, ...rest); };
    gl.bufferSubData = function (target, offset, data, ...rest) { sent += data.byteLength; return bufferSubData.call(this, target, offset, data, ...rest); };
    if (!size) return;
    // The page's Module, caught as it is made: its settings.ini gets the size
    // once the page has written the file and before the game reads it.
    const [w, h] = size.split('x');
    let module;
    Object.defineProperty(window, 'Module', {
      configurable: true,
      get: () => module,
      set: (m) => {
        module = m;
        const ready = m.onRuntimeInitialized;
        m.onRuntimeInitialized = () => {
          ready();
          const lines = FS.readFile('/settings.ini', { encoding: 'utf8' }).split('\n')
            .filter((l) => !/^\s*screen[wh]\s*=/.test(l));
          FS.writeFile('/settings.ini', [`screenw = ${w}`, `screenh = ${h}`, ...lines].join('\n'));
        };
      },
    });
  }, { size, share });
  await page.goto(`http://127.0.0.1:${port}/?seed=${seed}`);
  // Running: the page's message hidden (older pages have none) and a pass drawn.
  await page.waitForFunction(() => document.getElementById('message')?.hidden !== false && clears.length > 0, null, { timeout: 60000 });
  await page.waitForTimeout(1000 * warm);
  const start = await page.evaluate(() => clears.length);
  await page.waitForTimeout(1000 * measured);
  const marks = (await page.evaluate(() => clears)).slice(start);
  const times = marks.map((m) => m.at);
  const passes = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
  const at = (q) => passes[Math.floor(q * (passes.length - 1))].toFixed(1);
  const per_pass = (key) => (marks.at(-1)[key] - marks[0][key]) / (marks.length - 1);
  const canvas = await page.evaluate(() => { const c = document.getElementById('canvas'); return `${c.width}x${c.height}`; });
  console.log(`${canvas}: ${passes.length} passes in ${((times.at(-1) - times[0]) / 1000).toFixed(1)} s: ` +
    `${(1000 * passes.length / (times.at(-1) - times[0])).toFixed(2)} a second; pass median ${at(0.5)} ms, 90th percentile ${at(0.9)} ms; ` +
    `${per_pass('draws').toFixed(0)} draw calls of ${per_pass('drawn').toFixed(0)} vertices and ` +
    `${(per_pass('sent') / 1e6).toFixed(3)} MB sent a pass`);
} finally {
  await browser?.close();
  server.kill();
}
