// Plays the web page in Debian's Chromium, headless, through puppeteer-core,
// and holds what it shows against the desktop game's own pictures (made by
// the headless twin for the same seed): the logo, the play screen's frames and
// panels, a request answered with the left arrow, the music and the effects
// at the audio output, the end message after Escape beside the last picture,
// a phone upright and sideways (a tap on the picture only asks), the page
// installable and playing offline, a tab closed mid-game continued in a new
// one, no page error. Prints one line per check
// and "N passed, N failed".
//   node browser_test.js URL [SHOTS_DIR]   (URL's folder also serves reference/)
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [url, shotsDir] = process.argv.slice(2);
if (!url) {
  console.error('usage: node browser_test.js URL [SHOTS_DIR]');
  process.exit(2);
}
const SEED = process.env.PIKORA_WEB_SEED || '20261207';
// Places on the game's 768 x 576 surface: [left, top, right, bottom).
const LOGO = [352, 256, 416, 320], MESSAGE = [170, 250, 350, 370], STAFF = [70, 400, 370, 576];
const STATUS = [36, 38, 219, 218];

let passed = 0, failed = 0;
function check(name, ok, detail) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${name}${detail ? ' (' + detail + ')' : ''}`);
  return ok;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Every connection to the audio output passes an analyser first, which keeps
// the loudest sample of each 50 ms while its game's output runs.
function spliceAnalyser() {
  const levels = [];
  window.__levels = levels;
  const connect = AudioNode.prototype.connect;
  const taps = new WeakMap();
  AudioNode.prototype.connect = function (target, ...rest) {
    if (!(target instanceof AudioDestinationNode)) return connect.call(this, target, ...rest);
    let tap = taps.get(target);
    if (!tap) {
      tap = target.context.createAnalyser();
      tap.fftSize = 2048;
      connect.call(tap, target);
      taps.set(target, tap);
      const buf = new Float32Array(tap.fftSize);
      setInterval(() => {
        if (tap.context.state !== 'running') return;  // a closed game's output keeps its last samples
        tap.getFloatTimeDomainData(buf);
        let peak = 0;
        for (const v of buf) peak = Math.max(peak, Math.abs(v));
        levels.push([performance.now(), peak]);
      }, 50);
    }
    return connect.call(this, tap, ...rest);
  };
}

// In the page: how many pixels of a reference (a PNG the size of the game's
// surface, transparent where the picture is allowed to differ) the canvas
// matches exactly, and how many within 48 of 255 in every channel; the
// surface lies at (16, 12) of the 800 x 600 window.
async function compare(page, name, box, skip) {
  return page.evaluate(async (src, box, skip) => {
    const img = new Image();
    img.src = src;
    await img.decode();
    const c = document.createElement('canvas');
    c.width = img.width;
    c.height = img.height;
    const g = c.getContext('2d');
    g.drawImage(img, 0, 0);
    const want = g.getImageData(0, 0, img.width, img.height).data;
    const game = document.getElementById('canvas');
    const have = game.getContext('2d').getImageData(16, 12, img.width, img.height).data;
    const [x0, y0, x1, y1] = box || [0, 0, img.width, img.height];
    let total = 0, same = 0, near = 0;
    for (let y = y0; y < y1; y++)
      for (let x = x0; x < x1; x++) {
        const i = (y * img.width + x) * 4;
        if (want[i + 3] === 0) continue;
        if (skip && skip.some(([a, b, c, d]) => x >= a && x < c && y >= b && y < d)) continue;
        total++;
        const d = Math.max(Math.abs(want[i] - have[i]), Math.abs(want[i + 1] - have[i + 1]), Math.abs(want[i + 2] - have[i + 2]));
        if (d === 0) same++;
        if (d <= 48) near++;
      }
    return { total, same, near };
  }, name.startsWith('data:') ? name : 'reference/' + name, box, skip);
}

// A region of the game's surface as a string, to see whether it changed.
async function region(page, [x0, y0, x1, y1]) {
  return page.evaluate((x0, y0, x1, y1) => {
    const d = document.getElementById('canvas').getContext('2d').getImageData(16 + x0, 12 + y0, x1 - x0, y1 - y0).data;
    let h = 0x811c9dc5;
    for (let i = 0; i < d.length; i++) h = Math.imul(h ^ d[i], 16777619) >>> 0;
    return h.toString(16);
  }, x0, y0, x1, y1);
}

async function waitFor(what, timeoutMs, probe) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const v = await probe();
    if (v) return v;
    if (Date.now() > end) return null;
    await sleep(50);
  }
}

// The end: the game's last picture stays, the score and the funds in it, and
// the end message does not cover it. The picture as it stood just before the
// quit is kept in the page: nearly every pixel the same (the creatures may
// have moved since), and a play screen (its frames and panels nearly all as
// the desktop's first seconds of play; the game has gone on since).
async function pictureBeforeEnd(page) {
  await page.evaluate(() => {
    window.__beforeEnd = document.getElementById('canvas').getContext('2d').getImageData(16, 12, 768, 576).data;
  });
}
async function endKeepsPicture(page, where) {
  const frames = await compare(page, 'play.png', null, [STAFF, MESSAGE]);
  const kept = await page.evaluate(() => {
    const was = window.__beforeEnd;
    const now = document.getElementById('canvas').getContext('2d').getImageData(16, 12, 768, 576).data;
    let same = 0;
    for (let i = 0; i < was.length; i += 4) if (was[i] === now[i] && was[i + 1] === now[i + 1] && was[i + 2] === now[i + 2]) same++;
    return same / (was.length / 4);
  });
  const apart = await page.evaluate(() => {
    const a = document.getElementById('stage').getBoundingClientRect();
    const b = document.getElementById('ended').getBoundingClientRect();
    return b.width > 0 && (b.top >= a.bottom - 0.5 || b.left >= a.right - 0.5);
  });
  check(`the end (${where}): the last picture stays, the message beside or beneath it`,
    // A tick may come between the picture taken and the quit (the pen's pose
    // turns, about 2 % of it); a canvas emptied or covered keeps far less.
    frames.total > 0 && frames.same >= frames.total * 0.99 && kept >= 0.9 && apart,
    `${frames.same} of ${frames.total} still pixels, ${(kept * 100).toFixed(1)} % as just before, ${apart ? 'apart' : 'over it'}`);
}

async function shot(page, name) {
  if (!shotsDir) return;
  fs.mkdirSync(shotsDir, { recursive: true });
  await page.screenshot({ path: path.join(shotsDir, name + '.png') });
}

async function main() {
  const profile = fs.mkdtempSync(path.join(require('os').tmpdir(), 'pikora-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.PIKORA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, '--autoplay-policy=user-gesture-required'],
  });
  const errors = [];
  const tab = async () => {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    page.on('pageerror', (e) => errors.push('page error: ' + e.message));
    page.on('requestfailed', (r) => errors.push('request failed: ' + r.url()));
    page.on('response', (r) => { if (r.status() >= 400) errors.push(`HTTP ${r.status()}: ${r.url()}`); });
    page.on('console', (m) => { if (m.type() === 'error') errors.push('console: ' + m.text()); });
    await page.evaluateOnNewDocument(spliceAnalyser);
    return page;
  };
  try {
    const page = await tab();

    // The gate: shown, ready, and the game not started before the click.
    // In Japanese, as the reference pictures are (the page's own default is
    // the browser's language).
    await page.goto(`${url}?seed=${SEED}&lang=ja`, { waitUntil: 'load' });
    const ready = await waitFor('gate', 30000, () =>
      page.evaluate(() => document.body.dataset.state === 'gate' && performance.now()));
    check('the gate offers "Click to start" once the game is loaded', ready !== null,
      ready ? `ready ${Math.round(ready)} ms after navigation` : 'never ready');
    await shot(page, 'gate');
    await sleep(300);
    const early = await compare(page, 'logo.png', LOGO);
    check('nothing starts before the click', early.same < early.total / 2 &&
      (await page.evaluate(() => window.__levels.length === 0)));

    // The logo, as the desktop game draws it. Its colours are chosen by the
    // palette reduction, whose floating point runs through another maths
    // library in the page: nearly every pixel within a few shades.
    const clicked = await page.evaluate(() => performance.now());
    await page.click('#start');
    const logo = await waitFor('logo', 20000, async () => {
      const m = await compare(page, 'logo.png', LOGO);
      return m.total > 0 && m.near >= m.total * 0.97 && { m, at: await page.evaluate(() => performance.now()) };
    });
    check('the logo appears as on the desktop', logo !== null,
      logo ? `${logo.m.near} of ${logo.m.total} pixels within a few shades, ${logo.m.same} the same; ` +
        `${Math.round(logo.at)} ms after navigation, ${Math.round(logo.at - clicked)} ms after the click` : '');
    // The page ready plus the start after the click: the time to the logo
    // of a player who clicks at once.
    if (logo) console.log(`time to the logo: ${Math.round(ready + logo.at - clicked)} ms (the gate ready ` +
      `${Math.round(ready)} ms after navigation, the logo ${Math.round(logo.at - clicked)} ms after the click)`);
    await shot(page, 'logo');

    // The play screen: every pixel of the frames and panels that stands still
    // in the desktop game's first seconds of play, exactly.
    const play = await waitFor('play screen', 20000, async () => {
      const m = await compare(page, 'play.png');
      return m.same === m.total && m;
    });
    const m = play || (await compare(page, 'play.png'));
    check('the play screen: frames and panels exactly as on the desktop', play !== null,
      `${m.same} of ${m.total} still pixels match`);
    await shot(page, 'play');

    // The music: sound at the output for most of two seconds of play.
    await sleep(2000);
    const music = await page.evaluate(() => {
      const last = window.__levels.filter(([t]) => t > performance.now() - 2000);
      return { n: last.length, loud: last.filter(([, p]) => p > 0.01).length, peak: Math.max(0, ...last.map(([, p]) => p)) };
    });
    check('the music reaches the audio output', music.n > 20 && music.loud >= music.n * 0.8,
      `${music.loud} of ${music.n} windows sounding, peak ${music.peak.toFixed(3)}`);

    // The first request, word for word as on the desktop; the left arrow
    // permits it and the staff panel changes.
    const asked = await waitFor('request', 20000, async () => {
      const m = await compare(page, 'asked.png', MESSAGE);
      return m.same === m.total;
    });
    check('the first request is asked as on the desktop', asked !== null);
    await sleep(800);  // the face has risen: the request waits
    const staffBefore = await region(page, STAFF);
    await page.keyboard.press('ArrowLeft');
    const answered = await waitFor('staff panel', 5000, async () => (await region(page, STAFF)) !== staffBefore);
    check('the left arrow answers it and the staff panel changes', answered !== null);
    await sleep(600);
    await shot(page, 'answered');

    // The on-page buttons reach the game as keys: the pause button pauses
    // (the overlay changes the picture) and resumes.
    const beforePause = await region(page, [0, 0, 768, 576]);
    await page.click('#pad button[data-key="KeyP"]');
    const paused = await waitFor('pause', 3000, async () => (await region(page, [0, 0, 768, 576])) !== beforePause);
    check('the pause button pauses the game', paused !== null);
    await page.click('#pad button[data-key="KeyP"]');
    await sleep(500);

    // F11 puts the picture in fullscreen, scaled as ever, and takes it out.
    await page.keyboard.press('F11');
    const full = await waitFor('fullscreen', 3000, () => page.evaluate(() => {
      const c = document.getElementById('canvas').getBoundingClientRect();
      return document.fullscreenElement && document.fullscreenElement.id === 'play' &&
        Math.abs(c.width / c.height - 800 / 600) < 0.01 && c.width > 800 && `${c.width} x ${c.height}`;
    }));
    await page.keyboard.press('F11');
    const back = await waitFor('windowed', 3000, () => page.evaluate(() => !document.fullscreenElement));
    check('F11 shows the picture larger, fullscreen, and back', full !== null && back !== null, full || '');

    // Escape ends the program and the page says so, offering another game.
    await pictureBeforeEnd(page);
    await page.keyboard.press('Escape');
    const end = await waitFor('end', 5000, () => page.evaluate(() =>
      document.body.dataset.state === 'ended' && !document.getElementById('ended').hidden &&
      document.getElementById('ended-text').textContent));
    check('Escape shows the end message with "Play again"', end !== null &&
      (await page.evaluate(() => getComputedStyle(document.getElementById('again')).display !== 'none')), end || '');
    await endKeepsPicture(page, 'desktop');
    await shot(page, 'ended');

    // Effects alone: a second game on the same page, its tune taken away
    // before the start, so whatever sounds at the output is an effect.
    await page.click('#again');
    const second = await waitFor('second game', 20000, async () => {
      const m = await compare(page, 'play.png');
      return m.same === m.total;
    });
    check('"Play again" starts a new game', second !== null);
    await page.keyboard.press('Escape');
    await waitFor('end', 5000, () => page.evaluate(() => document.body.dataset.state === 'ended'));
    // (the tune is taken out of the program's files once they are loaded)
    await page.evaluate(() => {
      const make = window.Pikora;
      window.Pikora = (options) => make(Object.assign(options, {
        onRuntimeInitialized: () => options.FS.unlink('/bg/bg1.ogg'),
      }));
    });
    await page.click('#again');
    await waitFor('third game', 20000, async () => {
      const m = await compare(page, 'play.png');
      return m.same === m.total;
    });
    await waitFor('request', 20000, async () => {
      const m = await compare(page, 'asked.png', MESSAGE);
      return m.same === m.total;
    });
    await sleep(1500);  // the request's chime has rung out
    const silent = await page.evaluate(() => window.__levels.filter(([t, p]) => t > performance.now() - 500 && p > 0.001).length);
    const t0 = await page.evaluate(() => performance.now());
    await page.keyboard.press('ArrowLeft');
    await sleep(800);
    const effect = await page.evaluate((t0) => Math.max(0, ...window.__levels.filter(([t]) => t > t0).map(([, p]) => p)), t0);
    check('the effects reach the audio output', silent === 0 && effect > 0.01,
      `${silent} sounding windows before, peak ${effect.toFixed(3)} after the left arrow`);

    // The settings last in the browser: M mutes, and the page keeps it.
    await page.keyboard.press('m');
    const kept = await waitFor('kept', 3000, () => page.evaluate(() =>
      /mute = 1/.test(localStorage.getItem('pikora.settings') || '')));
    check('a setting changed in the game is kept in the browser', kept !== null);

    // A phone upright, 3 device pixels a CSS pixel (the page loads anew
    // for the touch screen): the page speaks the game's language and says
    // "tap"; the picture takes the width, every button is on screen and large
    // enough for a finger, the game starts muted as kept, and a tap on the
    // mute button brings the music back.
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
    await waitFor('gate', 30000, () => page.evaluate(() => document.body.dataset.state === 'gate'));
    const gateWords = await page.evaluate(() => document.querySelector('[data-t=sound]').textContent + ' / ' +
      document.querySelector('[data-t=how2]').textContent);
    check('the page speaks the game\'s language and says "tap"', /タップ/.test(gateWords) && /一時停止/.test(gateWords) &&
      /L/.test(gateWords) && /音量/.test(gateWords), gateWords.slice(0, 40));
    await page.tap('#start');
    const phonePlay = await waitFor('play screen', 20000, async () => {
      const m = await compare(page, 'play.png');
      return m.same === m.total;
    });
    check('on a phone the game starts and shows its play screen', phonePlay !== null);
    await sleep(1500);
    const quiet = await page.evaluate(() => window.__levels.filter(([t, p]) => t > performance.now() - 1000 && p > 0.001).length);
    check('the kept mute holds after the page loads again', quiet === 0, `${quiet} sounding windows`);
    await page.tap('#pad button[data-key="KeyM"]');
    await sleep(1500);
    const heard = await page.evaluate(() => {
      const last = window.__levels.filter(([t]) => t > performance.now() - 1000);
      return { n: last.length, loud: last.filter(([, p]) => p > 0.01).length };
    });
    check('a tap on the mute button brings the music back', heard.n > 10 && heard.loud >= heard.n * 0.8,
      `${heard.loud} of ${heard.n} windows sounding`);
    const phone = await page.evaluate(() => {
      const vw = document.documentElement.clientWidth;
      const stage = document.getElementById('stage').getBoundingClientRect();
      const buttons = [...document.querySelectorAll('#pad button')].filter((b) => b.offsetWidth)
        .map((b) => b.getBoundingClientRect());
      return {
        vw, stage: stage.width, dpr: devicePixelRatio,
        fits: stage.left >= 0 && stage.right <= vw + 0.5 && stage.bottom <= innerHeight,
        small: buttons.filter((r) => r.width < 44 || r.height < 44).length,
        off: buttons.filter((r) => r.left < 0 || r.right > vw + 0.5).length,
        full: !!document.querySelector('#full') && document.querySelector('#full').offsetWidth > 0,
      };
    });
    check('a phone upright: the picture at least 95 % of the width, the buttons on screen and finger-sized',
      phone.fits && phone.stage >= phone.vw * 0.95 && phone.small === 0 && phone.off === 0 && phone.full,
      `picture ${Math.round(phone.stage)} px of ${phone.vw} at ${phone.dpr} device pixels a pixel, ` +
      `${phone.small} small, ${phone.off} off screen, fullscreen button ${phone.full ? 'shown' : 'missing'}`);
    await waitFor('request', 20000, async () => {
      const m = await compare(page, 'asked.png', MESSAGE);
      return m.same === m.total;
    });
    await shot(page, 'phone');

    // A tap on the picture only asks, in a bar where the buttons are; the
    // game plays on under it. A tap elsewhere puts the question away, and
    // its Quit quits.
    await page.tap('#canvas');
    await sleep(1200);
    const asked1 = await page.evaluate(() => {
      const bar = document.getElementById('ask').getBoundingClientRect();
      const stage = document.getElementById('stage').getBoundingClientRect();
      return { shown: !document.getElementById('ask').hidden, state: document.body.dataset.state,
        apart: bar.top >= stage.bottom - 0.5 || bar.left >= stage.right - 0.5, words: document.getElementById('ask-text').textContent };
    });
    await shot(page, 'phone-asks');
    const livePad = await region(page, STAFF);
    await page.keyboard.press('ArrowLeft');
    const stillAnswers = await waitFor('staff panel', 5000, async () => (await region(page, STAFF)) !== livePad);
    check('a tap on the picture asks, beside the picture, and the game plays on',
      asked1.shown && asked1.state === 'playing' && asked1.apart && stillAnswers !== null,
      `${asked1.words}; ${asked1.state}; ${asked1.apart ? 'beside' : 'over'} the picture`);
    const keyDismissed = await page.evaluate(() => document.getElementById('ask').hidden);
    await page.tap('#canvas');
    await sleep(300);
    await page.tap('h1');
    await sleep(300);
    const tapDismissed = await page.evaluate(() => document.getElementById('ask').hidden && document.body.dataset.state === 'playing');
    check('the next key or a tap elsewhere puts the question away', keyDismissed && tapDismissed);

    // Sideways: the largest fit, the buttons beside the picture.
    await page.setViewport({ width: 844, height: 390, isMobile: true, hasTouch: true, deviceScaleFactor: 3, isLandscape: true });
    await sleep(800);
    const side = await page.evaluate(() => {
      const stage = document.getElementById('stage').getBoundingClientRect();
      const pad = document.getElementById('pad').getBoundingClientRect();
      return { h: stage.height, vh: innerHeight, beside: pad.left >= stage.right, inside: stage.top >= 0 && stage.bottom <= innerHeight,
        padIn: pad.right <= innerWidth && pad.bottom <= innerHeight };
    });
    check('a phone sideways: the picture as tall as the screen, the buttons beside it',
      side.h >= side.vh * 0.95 && side.beside && side.inside && side.padIn,
      `picture ${Math.round(side.h)} px of ${side.vh} high, buttons ${side.beside ? 'beside' : 'not beside'}`);
    await shot(page, 'phone-sideways');
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
    await sleep(800);
    await page.tap('#canvas');
    await sleep(200);
    await pictureBeforeEnd(page);
    await page.tap('#ask-quit');
    const phoneEnd = await waitFor('end', 5000, () => page.evaluate(() => document.body.dataset.state === 'ended'));
    check('the question\'s Quit ends the game', phoneEnd !== null);
    await endKeepsPicture(page, 'phone');
    await shot(page, 'phone-ended');

    // A fault is told in words on the page: an option the game does not know.
    await page.goto(`${url}?frobnicate`, { waitUntil: 'load' });
    await waitFor('gate', 30000, () => page.evaluate(() => document.body.dataset.state === 'gate'));
    await page.tap('#start');
    const told = await waitFor('told', 10000, () => page.evaluate(() => document.body.dataset.state === 'failed' &&
      document.getElementById('ended-text').textContent + ' / ' + document.getElementById('ended-detail').textContent));
    check('a bad option in the address is told on the page in words', told !== null && /frobnicate/.test(told),
      (told || '').split('\n')[0]);
    await shot(page, 'fault');

    // Without a language in the address the game speaks the browser's
    // (English in this Chromium): its caption becomes the page's title.
    await page.goto(`${url}?seed=${SEED}`, { waitUntil: 'load' });
    await waitFor('gate', 30000, () => page.evaluate(() => document.body.dataset.state === 'gate'));
    await page.tap('#start');
    const title = await waitFor('title', 10000, () => page.evaluate(() => document.title !== '有限会社☆ピコラ！' && document.title));
    check("the game speaks the browser's language", title === 'Pikora☆Ltd.!', title || 'the title stayed');

    // A tab closed mid-game while a request waits (the game stands still):
    // opened again, the gate offers the game with its time and funds, and
    // Continue brings it back where it stood, the intro unseen: its status,
    // staff and message panels as the desktop game shows them at the second
    // request, once the first is permitted; and the next answer taken.
    const first = await tab();
    await first.goto(`${url}?seed=${SEED}&lang=ja`, { waitUntil: 'load' });
    await waitFor('gate', 30000, () => first.evaluate(() => document.body.dataset.state === 'gate'));
    await first.click('#start');
    await waitFor('request', 30000, async () => {
      const m = await compare(first, 'asked.png', MESSAGE);
      return m.same === m.total;
    });
    await sleep(800);
    await first.keyboard.press('ArrowLeft');
    // Every pixel within a few shades (a glyph's edge may be a shade off).
    const atNext = async (page) => {
      const m = await compare(page, 'next.png');
      return m.near === m.total && m.same >= 0.99 * m.total;
    };
    const stood = await waitFor('the next request waiting', 20000, () => atNext(first));
    await shot(first, 'before-close');
    await sleep(2000);  // kept in the browser's storage within a second
    await first.close();
    const reopened = await tab();
    await reopened.goto(`${url}?lang=ja`, { waitUntil: 'load' });
    await waitFor('gate', 30000, () => reopened.evaluate(() => document.body.dataset.state === 'gate'));
    const offered = await reopened.evaluate(() => !document.getElementById('resume').hidden &&
      document.getElementById('resume').textContent + ' / ' + document.getElementById('start').textContent);
    await shot(reopened, 'continue-gate');
    let introSeen = false;
    await reopened.click('#resume');
    const restored = stood && await waitFor('the game where it stood', 20000, async () => {
      introSeen = introSeen || (await compare(reopened, 'logo.png', LOGO)).near > 0.9 * 64 * 64;
      return atNext(reopened);
    });
    const shown = await compare(reopened, 'next.png');
    await shot(reopened, 'continued');
    await reopened.keyboard.press('ArrowLeft');
    const goesOn = await waitFor('play', 5000, async () => !(await atNext(reopened)));
    check('a tab closed mid-game: opened again, Continue brings the game back where it stood and it plays on',
      /^続きから.*のゲーム（時間 -?\d+、資金 \d+）/.test(offered || '') && restored && !introSeen && goesOn !== null,
      `${offered || 'no offer'}; ` +
      (!stood ? 'the first tab never came to the second request' :
        `${shown.near} of ${shown.total} pixels of the panels as at the second request`) +
      `${introSeen ? ', the intro seen' : ''}${goesOn ? '' : ', then took no answer'}`);
    await reopened.keyboard.press('Escape');
    await waitFor('end', 5000, () => reopened.evaluate(() => document.body.dataset.state === 'ended'));
    await reopened.close();

    check('no page error, failed request or console error', errors.length === 0, errors.slice(0, 5).join('; '));

    // Installable, and kept: with the server gone and the browser offline,
    // the page loads again and plays (its references taken along first).
    const cdp = await page.createCDPSession();
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    check('the page can be installed', installabilityErrors.length === 0,
      installabilityErrors.map((e) => e.errorId).join(', '));
    const keptBy = await waitFor('worker', 20000, () => page.evaluate(async () => {
      const r = await navigator.serviceWorker.ready;
      return r.active && r.active.state === 'activated' && (await caches.keys()).join(',');
    }));
    const playRef = await page.evaluate(async () => {
      const b = await (await fetch('reference/play.png')).blob();
      return new Promise((res) => { const f = new FileReader(); f.onload = () => res(f.result); f.readAsDataURL(b); });
    });
    // A new build on the server (another hash in its worker, another page):
    // the next visit's worker keeps the new files in place of the old ones.
    const site = process.env.PIKORA_WEB_SITE;
    let renewed = null;
    if (site) {
      const swPath = path.join(site, 'sw.js'), indexPath = path.join(site, 'index.html');
      const sw = fs.readFileSync(swPath, 'utf8'), index = fs.readFileSync(indexPath, 'utf8');
      fs.rmSync(swPath);
      fs.writeFileSync(swPath, sw.replace(/const BUILD = 'pikora-[^']*'/, "const BUILD = 'pikora-next-build'"));
      fs.rmSync(indexPath);
      fs.writeFileSync(indexPath, index.replace('<body>', '<body data-build="next">'));
      await page.goto(`${url}?seed=${SEED}&lang=ja`, { waitUntil: 'load' });
      renewed = await waitFor('the new build kept', 20000, () => page.evaluate(async () =>
        (await caches.keys()).join(',') === 'pikora-next-build'));
    }
    if (process.env.PIKORA_WEB_SERVER_PID) process.kill(Number(process.env.PIKORA_WEB_SERVER_PID));
    await page.setOfflineMode(true);
    await page.goto(`${url}?seed=${SEED}&lang=ja`, { waitUntil: 'load' });
    await waitFor('gate', 30000, () => page.evaluate(() => document.body.dataset.state === 'gate'));
    await page.tap('#start');
    const offline = await waitFor('play screen', 20000, async () => {
      const m = await compare(page, playRef);
      return m.same === m.total && m;
    });
    check('offline, the page loads again and plays', keptBy !== null && offline !== null,
      `kept in ${keptBy || 'nothing'}`);
    const build = await page.evaluate(() => document.body.dataset.build);
    check('a new build replaces the kept files', !site || (renewed !== null && build === 'next'),
      site ? `${renewed ? 'the old files dropped' : 'the old files still kept'}, ${build === 'next' ? 'the new page' : 'the old page'} offline` : 'no site to build anew');
    await shot(page, 'offline');
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((e) => {
  check('the browser test ran to its end', false, e.stack || String(e));
}).finally(() => {
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
});
