// The browser build in Debian's headless Chromium (software WebGL), driven by
// playwright-core (web/package.json) and served from 127.0.0.1 by Python.
//   node tests/web/web_test.mjs build-web/page
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import path from 'node:path';
import assert from 'node:assert/strict';

const { chromium } = createRequire(path.resolve('web') + '/')('playwright-core');
const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', process.argv[2]]);
let failed = 0, browser;
const check = (name, body) => body().then(() => console.log(`ok   ${name}`), (e) => { failed++; console.log(`FAIL ${name}: ${e.message}`); });
try {
  const port = await new Promise((resolve) => server.stdout.on('data', (d) => resolve(/port (\d+)/.exec(String(d))?.[1])));
  browser = await chromium.launch({  // playwright gives it a fresh profile of its own
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
  const page = await browser.newPage({ viewport: { width: 1100, height: 900 }, acceptDownloads: true });
  // The console stays clean, but for the driver's notes on pixels read back for the software compositor.
  const noise = [];
  page.on('console', (m) => /error|warn/.test(m.type()) && !/Performance/.test(m.text()) && noise.push(m.text()));
  const running = () => page.waitForFunction(() => document.getElementById('message').hidden, null, { timeout: 60000 });
  const open = (query = '') => page.goto(`http://127.0.0.1:${port}/?seed=7${query}`).then(running);
  await open();
  const canvas = page.locator('canvas');
  // Points in the game's 1024 x 768 pixels, wherever the page has scaled the canvas to.
  const at = (x, y) => canvas.boundingBox().then((b) => page.mouse.move(b.x + x * b.width / 1024, b.y + y * b.height / 768));
  // The game reads keys and buttons once a pass, a few passes a second here.
  const hold = async (down, up, ms) => { await down(); await page.waitForTimeout(ms); await up(); await page.waitForTimeout(ms); };
  const press = (key) => hold(() => page.keyboard.down(key), () => page.keyboard.up(key), 800);
  const click = (x, y) => at(x, y).then(() => hold(() => page.mouse.down(), () => page.mouse.up(), 1500));
  // Two shots of the canvas in the game's pixels, over a rectangle: mean difference, pixels white (text) in one only,
  // colours of the first, and the brightness of each column in both.
  const measure = async ([x, y, w, h], a, b = a) => page.evaluate(async ({ a, b, x, y, w, h }) => {
    const pixels = async (png) => {
      const image = new Image(), scratch = new OffscreenCanvas(1024, 768).getContext('2d');
      image.src = 'data:image/png;base64,' + png;
      await image.decode();
      scratch.drawImage(image, 0, 0, 1024, 768);
      return scratch.getImageData(x, y, w, h).data;
    };
    const [p, q] = [await pixels(a), await pixels(b)], colours = new Set(), white = (r, i) => Math.min(r[i], r[i + 1], r[i + 2]) > 200;
    let diff = 0, text = 0, columns = [new Array(w).fill(0), new Array(w).fill(0)];
    for (let i = 0; i < p.length; i += 4) {
      diff += Math.abs(p[i] - q[i]) + Math.abs(p[i + 1] - q[i + 1]) + Math.abs(p[i + 2] - q[i + 2]);
      text += white(p, i) !== white(q, i);
      colours.add((p[i] << 16) | (p[i + 1] << 8) | p[i + 2]);
      [p, q].forEach((r, k) => { columns[k][(i / 4) % w] += r[i] + r[i + 1] + r[i + 2]; });
    }
    return { diff: diff / (p.length / 4), text, colours: colours.size, columns };
  }, { a: a.toString('base64'), b: b.toString('base64'), x, y, w, h });
  // How far right the middle columns of the first shot lie in the second: a turn to the left moves the world right.
  const shift = ({ columns: [p, q] }) => [...Array(601).keys()].map((s) => s - 300)
    .map((s) => [p.slice(300, 724).reduce((d, v, x) => d + Math.abs(v - q[x + 300 + s]), 0), s]).sort((m, n) => m[0] - n[0])[0][1];
  const shot = () => canvas.screenshot(), secondLine = [10, 42, 300, 30], below = [0, 60, 1024, 640], sky = [0, 110, 1024, 100];

  const first = await at(512, 384).then(() => page.waitForTimeout(3000)).then(shot);  // at the centre the view holds still
  await check('the canvas takes the size in settings.ini, the world is drawn below the HUD', async () => {
    assert.deepEqual(await canvas.evaluate((c) => [c.width, c.height]), [1024, 768]);
    assert.ok((await measure([0, 200, 1024, 568], first)).colours > 500);
  });
  await check('E changes the HUD\'s second line, and only E', async () => {
    const still = await shot();
    await press('e');
    // The panel is translucent: only its white text is compared.
    assert.ok((await measure(secondLine, first, still)).text < 10, 'the line changed by itself');
    assert.ok((await measure(secondLine, still, await shot())).text > 50, 'the line did not change');
  });
  for (const [width, height] of [[1100, 900], [900, 600]]) {
    await check(`in a ${width} x ${height} window the canvas is as large as fits, centred, and turns by the pointer`, async () => {
      await page.setViewportSize({ width, height });
      await at(512, 384);
      const b = await canvas.boundingBox(), still = await shot(), [x, y] = [width - b.width, height - b.height];
      assert.ok(Math.min(x, y) >= 0 && Math.min(x, y) < 1 && Math.abs(x - 2 * b.x) + Math.abs(y - 2 * b.y) <= 1
        && Math.abs(b.width / b.height * 0.75 - 1) < 0.005, JSON.stringify(b));
      await page.waitForTimeout(1000);
      const turns = [await shot(), await at(460, 384).then(() => page.waitForTimeout(700)).then(() => at(512, 384)).then(shot)];
      const [held, left] = [shift(await measure(sky, still, turns[0])), shift(await measure(sky, turns[0], turns[1]))];
      assert.ok(Math.abs(held) <= 8 && left > 15, `moved ${held} with the pointer at the centre, ${left} left of it`);
    });
  }
  await check('the full-screen button asks for full screen, and leaves it', async () => {
    for (const full of [true, false]) await page.getByRole('button', { name: 'Full screen' }).click()
      .then(() => page.waitForFunction((f) => (document.fullscreenElement !== null) === f, full));
  });
  await check('Escape opens the menu over the still frame', async () => {
    const before = await shot();
    await press('Escape');
    let menu = await shot(), later;  // it slides in over 20 passes: until it stands still
    for (let i = 0; i < 40 && (await measure(below, menu, later = await shot())).diff > 0; i++) menu = later;
    assert.ok((await measure([0, 0, 1024, 55], before, menu)).diff > 20, 'no dashboard bar');
    assert.ok((await measure([0, 200, 340, 500], menu)).colours > 500, 'no still frame behind it');
    assert.equal((await measure(below, menu, later)).diff, 0, 'the game did not stop');
  });
  await check('Save screenshot offers the game\'s PNG', async () => {
    const [file] = await Promise.all([page.waitForEvent('download', { timeout: 20000 }), click(512, 359)]);
    assert.equal(file.suggestedFilename(), 'screenshot1.png');
    const png = Buffer.concat(await (await file.createReadStream()).toArray());
    assert.deepEqual([png.toString('latin1', 1, 4), png.readUInt32BE(16), png.readUInt32BE(20), png[24], png[25]], ['PNG', 1024, 768, 8, 2]);
    assert.match(png.toString('latin1'), /tEXtComment\0Created with LodePNG[^]*tEXtLodePNG\0\d{8}/);
  });
  await check('Exit leaves a message and a way to start again', async () => {
    await click(512, 309);
    await page.waitForFunction(() => /^You left Quillmoor/.test(document.getElementById('message').textContent));
    await page.getByRole('button', { name: 'Play again' }).click().then(running);
  });
  await check('the address sets the size (0 or a word: the window\'s); full=1 goes full screen at the first click', async () => {
    for (const [query, size, full] of [['&w=640&h=400&full=1', [640, 400], true], ['&w=0&h=tall', [900, 600], false]]) {
      assert.deepEqual(await open(query).then(() => canvas.evaluate((c) => [c.width, c.height])), size, query);
      assert.equal(await click(512, 384).then(() => page.evaluate(() => document.fullscreenElement !== null)), full, query);
    }
  });
  await check('no WebGL error, emulation note or missing file in the console', async () => assert.deepEqual(noise, []));
} finally {
  await browser?.close();
  server.kill();
}
process.exit(failed === 0 ? 0 : 1);
