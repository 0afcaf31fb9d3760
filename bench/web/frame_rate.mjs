// The browser build's frame rate in Debian's headless Chromium with software
// WebGL (SwiftShader): the page of ?seed=N left alone for a while, its passes
// counted by the one glClear each pass makes. Prints the passes a second and
// the median and 90th-percentile pass over the measured stretch.
//   node bench/web/frame_rate.mjs build-web/page [seed] [warm-up s] [measured s]
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import path from 'node:path';

const [page_dir, seed = '7', warm = '10', measured = '30'] = process.argv.slice(2);
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
  await page.addInitScript(() => {
    window.clears = [];
    const clear = WebGLRenderingContext.prototype.clear;
    WebGLRenderingContext.prototype.clear = function (mask) { clears.push(performance.now()); return clear.call(this, mask); };
  });
  await page.goto(`http://127.0.0.1:${port}/?seed=${seed}`);
  await page.waitForFunction(() => document.getElementById('message').hidden, null, { timeout: 60000 });
  await page.waitForTimeout(1000 * warm);
  const start = await page.evaluate(() => clears.length);
  await page.waitForTimeout(1000 * measured);
  const times = (await page.evaluate(() => clears)).slice(start);
  const passes = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
  const at = (q) => passes[Math.floor(q * (passes.length - 1))].toFixed(1);
  console.log(`${passes.length} passes in ${((times.at(-1) - times[0]) / 1000).toFixed(1)} s: ` +
    `${(1000 * passes.length / (times.at(-1) - times[0])).toFixed(2)} a second; pass median ${at(0.5)} ms, 90th percentile ${at(0.9)} ms`);
} finally {
  await browser?.close();
  server.kill();
}
