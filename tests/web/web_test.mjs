// The browser build in Debian's headless Chromium (software WebGL), driven by
// playwright-core (web/package.json) and served from 127.0.0.1 by Python.
//   node tests/web/web_test.mjs build-web/page
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import path from 'node:path';
import assert from 'node:assert/strict';

const { chromium } = createRequire(path.resolve('web') + '/')('playwright-core');
const server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', process.argv[2]]);
let failed = 0, browser, phone, page, canvas;
const check = (name, body) => body().then(() => console.log(`ok   ${name}`), (e) => { failed++; console.log(`FAIL ${name}: ${e.message}`); });
try {
  const port = await new Promise((resolve) => server.stdout.on('data', (d) => resolve(/port (\d+)/.exec(String(d))?.[1])));
  const launch = { executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'] };
  browser = await chromium.launch(launch);  // playwright gives it a fresh profile of its own
  // The console stays clean, but for the driver's notes on pixels read back for the software compositor.
  const noise = [];
  // The helpers below drive the page in use: the desktop's, then the phone's.
  const use = (p) => {
    [page, canvas] = [p, p.locator('canvas')];
    page.on('console', (m) => /error|warn/.test(m.type()) && !/Performance/.test(m.text()) && noise.push(m.text()));
  };
  use(await browser.newPage({ viewport: { width: 1100, height: 900 }, acceptDownloads: true }));
  const running = () => page.waitForFunction(() => document.getElementById('message').hidden, null, { timeout: 60000 });
  const left = () => page.waitForFunction(() => /^You left Quillmoor/.test(document.getElementById('message').textContent));
  const open = (query = '') => page.goto(`http://127.0.0.1:${port}/?seed=7${query}`).then(running);
  await open();
  // Points in the game's 1024 x 768 pixels, wherever the page has scaled the canvas to.
  const point = (x, y) => canvas.boundingBox().then((b) => [b.x + x * b.width / 1024, b.y + y * b.height / 768]);
  const at = (x, y) => point(x, y).then(([x, y]) => page.mouse.move(x, y));
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
  // How far right the middle columns of the first shot lie in the second (or columns from..to, looked for up to reach
  // either way): a turn to the left moves the world right.
  const shift = ({ columns: [p, q] }, from = 300, to = 724, reach = 300) => [...Array(2 * reach + 1).keys()].map((s) => s - reach)
    .map((s) => [p.slice(from, to).reduce((d, v, x) => d + Math.abs(v - q[x + from + s]), 0), s]).sort((m, n) => m[0] - n[0])[0][1];
  // A clip of the page is quicker than the element's own shot, which waits for frames the game is slow to give.
  const shot = () => canvas.boundingBox().then((clip) => page.screenshot({ clip, caret: 'initial' }));
  const secondLine = [10, 42, 300, 30], below = [0, 60, 1024, 640], sky = [0, 110, 1024, 100];
  // The menu slides in over 20 passes: shots until it stands still.
  const settled = async () => {
    let menu = await shot(), later;
    for (let i = 0; i < 40 && (await measure(below, menu, later = await shot())).diff > 0; i++) menu = later;
    return [menu, later];
  };

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
    const [menu, later] = await settled();
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
    await click(512, 309).then(left);
    await page.getByRole('button', { name: 'Play again' }).click().then(running);
  });
  await check('the address sets the size (0 or a word: the window\'s); full=1 goes full screen at the first click', async () => {
    for (const [query, size, full] of [['&w=640&h=400&full=1', [640, 400], true], ['&w=0&h=tall', [900, 600], false]]) {
      assert.deepEqual(await open(query).then(() => canvas.evaluate((c) => [c.width, c.height])), size, query);
      assert.equal(await click(512, 384).then(() => page.evaluate(() => document.fullscreenElement !== null)), full, query);
    }
  });
  const names = ['walk', 'use', 'jump', 'previous action', 'next action', 'head view', 'menu', 'full screen'];
  await check('a mouse player never sees the touch controls', async () => {
    for (const name of ['look', ...names]) assert.ok(await page.getByLabel(name, { exact: true }).isHidden(), name);
  });

  // Holds controls down (start) for a while, then lets go (stop): how far the sky's left and right parts moved
  // meanwhile, either the same way for a turn or a step sideways, and which of walk and look the page held down.
  const sway = async (start, stop) => {
    const before = await shot(), [during, down] = await start().then(() => page.waitForTimeout(1200))
      .then(() => Promise.all([shot(), page.evaluate(() => Module.quillTouch?.slice(0, 2).map((t) => t.down))]));
    await stop().then(() => page.waitForTimeout(800));
    const m = await measure(sky, before, during);
    return { moved: [shift(m, 150, 362, 150), shift(m, 662, 874, 150)], down };
  };
  const still = async (changes, test) => { const before = await shot(); await changes(); return test(before); };
  const lineChanged = async (before) => assert.ok((await measure(secondLine, before, await shot())).text > 50, 'the line did not change');
  const menuShown = async (before) => assert.ok((await measure([0, 0, 1024, 55], before, (await settled())[0])).diff > 20, 'no menu');
  // A phone, in a profile of its own, as Chromium offers to install pages only outside incognito; alone, for speed.
  await browser.close();
  phone = await chromium.launchPersistentContext('', { ...launch, isMobile: true, hasTouch: true, viewport: { width: 844, height: 390 } });
  use(phone.pages()[0]);
  const cdp = await phone.newCDPSession(page);
  // Fingers, through CDP to have several at once: each slides from its first point to its second.
  const touch = (type, fingers = [], t = 1) => cdp.send('Input.dispatchTouchEvent',
    { type, touchPoints: fingers.map(([[x, y], [u, v]], id) => ({ x: x + (u - x) * t, y: y + (v - y) * t, id })) });
  const put = (fingers) => () => touch('touchStart', fingers, 0)
    .then(() => touch('touchMove', fingers, 0.5)).then(() => touch('touchMove', fingers));
  const tap = (at) => hold(put([[at, at]]), () => touch('touchEnd'), 1000);
  const centre = (name) => page.getByLabel(name, { exact: true }).boundingBox().then((b) => [b.x + b.width / 2, b.y + b.height / 2]);
  // The controls show at a first touch, away from the game; big enough for a finger, clear of the game's middle
  // (left to the look area) and of the HUD at its top left; the canvas fills the screen's height, or its width.
  const fits = async ([width, height]) => {
    await page.setViewportSize({ width, height });
    assert.ok(await page.getByLabel('walk').isHidden(), 'shown before a touch');
    await tap([width - 1, 1]);
    const c = await canvas.boundingBox(), s = c.width / 1024, hud = { x: c.x, y: c.y, width: 310 * s, height: 80 * s };
    const middle = { x: c.x + c.width / 3, y: c.y + c.height / 3, width: c.width / 3, height: c.height / 3 };
    const apart = (a, b) => a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y || b.y + b.height <= a.y;
    for (const name of names) {
      const b = await page.getByLabel(name, { exact: true }).boundingBox();
      assert.ok(b && Math.min(b.width, b.height) >= 44 && apart(b, hud) && apart(b, middle), `${name} ${JSON.stringify(b)}`);
    }
    assert.equal(await page.evaluate(([x, y]) => document.elementFromPoint(x, y).ariaLabel, [c.x + c.width / 2, c.y + c.height / 2]), 'look');
    const bar = await page.locator('#bar').boundingBox();
    assert.ok((!bar || apart(bar, c)) && (width > height ? c.height === height : c.width === width), JSON.stringify([bar, c]));
  };
  await check('a phone: the page is installable, its touch controls fit in landscape, and one goes full screen', async () => {
    await open().then(() => page.waitForFunction(() => navigator.serviceWorker.controller));
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    await fits([844, 390]);
    for (const full of [true, false]) await centre('full screen').then(tap)
      .then(() => page.waitForFunction((f) => (document.fullscreenElement !== null) === f, full, { timeout: 5000 }));
  });
  await check('touch walks and turns, and does both at once with two fingers', async () => {
    const [stick, look] = [await centre('walk'), await point(512, 384)], by = ([x, y], dx, dy) => [[x, y], [x + dx, y + dy]];
    for (const [what, fingers, way, down] of [['walking left', [by(stick, -60, 0)], 1, [true, false]],
      ['walking right', [by(stick, 60, 0)], -1, [true, false]], ['turning left', [by(look, -6, 0)], 1, [false, true]],
      ['walking forward, turning right', [by(stick, 0, -60), by(look, 6, 0)], -1, [true, true]]]) {
      const held = await sway(put(fingers), () => touch('touchEnd'));
      // Walking forward changes the scenery the turn is read from: with two fingers one reading of the turn suffices.
      const turned = (fingers.length > 1 ? Math.max : Math.min)(...held.moved.map((m) => m * way));
      assert.ok(turned > 15 && held.down.join() === down.join(), `${what}: ${JSON.stringify(held)}`);
    }
  });
  await check('touch changes the action, opens the menu, saves a screenshot and leaves by Exit', async () => {
    for (const [name, test] of [['next action', lineChanged], ['menu', menuShown]]) await still(() => centre(name).then(tap), test);
    const [file] = await Promise.all([page.waitForEvent('download', { timeout: 20000 }), point(512, 359).then(tap)]);
    assert.equal(file.suggestedFilename(), 'screenshot1.png');
    await point(512, 309).then(tap).then(left);
  });
  await check('offline, the page starts the game from its worker\'s cache', async () => {
    await phone.setOffline(true).then(() => page.reload()).then(running);
  });
  await check('in portrait the game fills the width, the controls fit, and touch changes the action', async () => {
    await fits([390, 844]);
    await still(() => centre('next action').then(tap), lineChanged);
  });
  // A stand-in for a standard pad, plugged in during play: the browser's SDL asks navigator.getGamepads() every time.
  const pad = (axes, pressed = []) => page.evaluate(([axes, pressed]) => {
    const buttons = [...Array(17).keys()].map((i) => pressed.includes(i))
      .map((on) => ({ pressed: on, touched: on, value: +on }));
    const state = { id: 'stand-in', index: 0, connected: true, mapping: 'standard', timestamp: performance.now(), axes, buttons };
    navigator.getGamepads = () => [state];
  }, [axes, pressed]);
  await check('a pad walks, changes the action and opens the menu', async () => {
    const press = (button) => () => hold(() => pad([0, 0, 0, 0], [button]), () => pad([0, 0, 0, 0]), 800);
    await still(press(5), lineChanged);
    const { moved } = await sway(() => pad([1, 0, 0, 0]), () => pad([0, 0, 0, 0]));
    assert.ok(Math.min(...moved) < -15, `the left stick to the right moved the world ${moved}`);  // one reading suffices
    await still(press(9), menuShown);
  });
  await check('no WebGL error, emulation note or missing file in the console', async () => assert.deepEqual(noise, []));
} finally {
  await phone?.close();
  await browser?.close();
  server.kill();
}
process.exit(failed === 0 ? 0 : 1);
