'use strict';
// The page around the game: the picture's scale, the "click to start" gate
// (browsers start sound only after a gesture) with the stopped game to
// continue, the games kept in the browser's storage, the on-page buttons, the
// question before a click on the picture quits, the end of the program and
// its errors in words, in the game's language. The game itself is
// pikora.js/.wasm, built from the same sources as the desktop game.
(function () {
  const W = 800, H = 600;
  const $ = (id) => document.getElementById(id);
  const play = $('play'), stage = $('stage'), controls = $('controls'), gate = $('gate'), start = $('start');
  const resume = $('resume'), resumeGame = $('resume-game');
  const ask = $('ask');
  const ended = $('ended'), endedText = $('ended-text'), endedDetail = $('ended-detail'), again = $('again');
  let canvas = $('canvas');
  const touch = window.matchMedia('(pointer: coarse)').matches || navigator.maxTouchPoints > 0;

  // The page's own words, in the game's two languages (the game's texts are
  // in its catalogues; these are only the page's).
  const WORDS = {
    en: {
      tagline: 'Run a little creature-breeding company while the owner is away on a long vacation.',
      loading: 'Loading…', start: touch ? 'Tap to start' : 'Click to start',
      resume: 'Continue', fresh: 'New game', game: 'the game of %1 (time %2, funds %3)',
      sound: `The game plays music: the browser starts sound only after a ${touch ? 'tap' : 'click'}.`,
      permit: 'permit', more: 'more', less: 'less', refuse: 'refuse', pause: 'pause', language: 'language',
      mute: 'mute', volume: 'volume', full: 'full', quit: 'quit',
      ask: 'Quit this game?', quitNow: 'Quit', playOn: 'Play on',
      again: 'Play again', retry: 'Try again',
      ended: 'The game has ended. Thank you for playing!',
      badOptions: 'The game could not start with the options in the address:',
      error: 'The game stopped on an error:', status: 'The game has ended (status %s).',
      howTitle: 'How to play',
      how1: 'Four employees come one at a time with a request: buy eggs, buy feed, train the grown ピコラ, ' +
        'rest, warm the eggs or sell. Press ← to permit it, → to refuse it (refusing costs time, except a ' +
        'rest). ↑ and ↓ set how much the next purchase buys. When the time runs out the owner comes back; ' +
        'if the funds run out first, the company is bankrupt.',
      how2: 'P (❚❚) pauses: the game stands still under its pause screen until P again. While it is ' +
        "paused, L changes the game's language (Japanese, English). M (♪) mutes, − and + set the volume; " +
        'the page keeps them in this browser.',
      how3: `Esc or ✕ quits. A ${touch ? 'tap' : 'click'} on the picture asks first, so a stray one never ends a game.` +
        (touch ? ' □ shows the game on the whole screen.' : ' F11 shows it on the whole screen.'),
      footer: 'Made by the Pikora developers, MIT licence: every picture, the music and the sounds were made ' +
        'for this game. Japanese text in VL Gothic. Built with SDL2, SDL2_ttf, SDL2_image, SDL2_mixer, ' +
        "FreeType and libimagequant from Debian's sources, compiled by Emscripten.",
      licences: 'Licences',
    },
    ja: {
      tagline: 'オーナーが長い休暇に出ているあいだ、小さなピコラ育成会社を切り盛りしよう。',
      loading: '読み込み中…', start: touch ? 'タップして始める' : 'クリックして始める',
      resume: '続きから', fresh: '新しいゲーム', game: '%1のゲーム（時間 %2、資金 %3）',
      sound: `音楽が流れます。ブラウザは${touch ? 'タップ' : 'クリック'}のあとでだけ音を出します。`,
      permit: '許可', more: '増やす', less: '減らす', refuse: '却下', pause: '一時停止', language: '言語',
      mute: '消音', volume: '音量', full: '全画面', quit: '終了',
      ask: 'ゲームを終了しますか？', quitNow: '終了する', playOn: '続ける',
      again: 'もう一度遊ぶ', retry: 'やり直す',
      ended: 'ゲームが終わりました。遊んでくれてありがとう！',
      badOptions: 'アドレスのオプションではゲームを始められませんでした：',
      error: 'エラーでゲームが止まりました：', status: 'ゲームが終わりました（終了コード %s）。',
      howTitle: '遊び方',
      how1: '社員が4人、ひとりずつ頼みごとを持ってきます。卵を買う、えさを買う、育ったピコラの訓練、休み、' +
        '卵を温める、売る。← で許可、→ で却下（却下すると時間が過ぎます。休みは別）。↑ と ↓ で次に買う数を' +
        '決めます。時間切れになるとオーナーが帰ってきます。その前に資金が尽きると倒産です。',
      how2: 'P（❚❚）で一時停止。もう一度 P を押すまで、ゲームは一時停止の画面のまま止まります。一時停止中に L で' +
        'ゲームの言語が変わります（日本語、英語）。M（♪）で消音、− と + で音量。どれもこのブラウザに記憶されます。',
      how3: `Esc か ✕ で終了。画面を${touch ? 'タップ' : 'クリック'}すると、まず確認するので、うっかり終わることはありません。` +
        (touch ? '□ で画面いっぱいに表示します。' : 'F11 で画面いっぱいに表示します。'),
      footer: 'ピコラ開発者が制作、MIT ライセンス。絵、音楽、効果音はすべてこのゲームのために作りました。' +
        '日本語の文字は VL ゴシック。Debian のソースから作った SDL2、SDL2_ttf、SDL2_image、SDL2_mixer、' +
        'FreeType、libimagequant を Emscripten でコンパイルしています。',
      licences: 'ライセンス',
    },
  };
  // As the game chooses: the address's, the kept one, then the browser's
  // first language; the game has Japanese and English, Japanese first.
  function firstLanguage() {
    let kept = null;
    try {
      const m = /^language\s*=\s*(\S+)/m.exec(localStorage.getItem('pikora.settings') || '');
      kept = m && m[1];
    } catch (e) { /* no storage: the browser's */ }
    const code = new URLSearchParams(location.search).get('lang') || kept ||
      (navigator.languages && navigator.languages[0]) || navigator.language || '';
    return /^en/i.test(code) ? 'en' : 'ja';
  }
  let lang = firstLanguage();
  let stopped = null;  // the kept game to continue: [date, time, funds]
  const say = (key) => WORDS[lang][key];
  function speak(code) {
    lang = code;
    document.documentElement.lang = code;
    for (const el of document.querySelectorAll('[data-t]')) {
      // The start button says "Loading…" until the game is ready, and "New
      // game" beside one to continue.
      const key = el === start && !start.disabled ? (stopped ? 'fresh' : 'start') : el.dataset.t;
      el.textContent = say(key);
    }
    if (stopped) resumeGame.textContent = say('game').replace('%1', stopped[0]).replace('%2', stopped[1]).replace('%3', stopped[2]);
    if (!ended.hidden) endedText.textContent = endedWords();
    again.textContent = say(endStatus === 0 || endStatus === null ? 'again' : 'retry');
  }
  // The game names its window in its language: the page follows the title
  // as the game changes language (L on the pause screen).
  const TITLES = { '有限会社☆ピコラ！': 'ja', 'Pikora☆Ltd.!': 'en' };
  new MutationObserver(() => {
    const code = TITLES[document.title];
    if (code && code !== lang) {
      speak(code);
      fit();
    }
  }).observe(document.querySelector('title'), { childList: true, characterData: true, subtree: true });

  // The picture as large as the window allows with the buttons below it (or
  // beside it, where page.css puts them there): in whole multiples of device
  // pixels, every pixel of the game square and sharp, where one comes within
  // a tenth of the largest fit; else at the largest fit, scaled smoothly.
  function fit() {
    const dpr = window.devicePixelRatio || 1;
    const beside = getComputedStyle(play).flexDirection === 'row';
    const full = document.fullscreenElement === play;
    const header = full || beside ? 0 : document.querySelector('header').offsetHeight;
    const availW = beside ? play.clientWidth - controls.offsetWidth - 20 : document.documentElement.clientWidth - 4;
    const availH = beside ? window.innerHeight - 8 : window.innerHeight - header - controls.offsetHeight - 20;
    const largest = Math.max(Math.min(availW / W, availH / H), 0.25) * dpr;
    const whole = Math.floor(largest);
    const k = whole >= 1 && whole >= largest * 0.9 ? whole : largest;
    stage.classList.toggle('smooth', k !== whole);
    document.documentElement.style.setProperty('--picture-w', (W * k / dpr) + 'px');
    document.documentElement.style.setProperty('--picture-h', (H * k / dpr) + 'px');
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);

  // Fullscreen is the page's, the picture with its buttons: the browser
  // grants it only within the key's or the tap's own event. (The game's own
  // fullscreen would resize the canvas the page scales.)
  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (play.requestFullscreen) play.requestFullscreen().catch(() => {});
  }
  window.addEventListener('keydown', (e) => {
    if (e.key !== 'F11' && !(e.altKey && e.key === 'Enter')) return;
    e.preventDefault();
    e.stopImmediatePropagation();
    toggleFullscreen();
  }, true);
  $('full').addEventListener('click', toggleFullscreen);

  // A click or a tap on the picture quits in the game; on the page it only
  // asks (people tap a game to focus it or to zoom). The game never hears it:
  // the question's "Quit" is the game's Escape. The next key, or a tap
  // anywhere else, puts the question away.
  const playing = () => document.body.dataset.state === 'playing';
  function asking(on) {
    ask.hidden = !on;
    document.body.classList.toggle('asking', on);
  }
  for (const type of ['pointerdown', 'pointerup', 'mousedown', 'mouseup', 'click', 'dblclick',
    'touchstart', 'touchend', 'touchmove', 'touchcancel']) {
    stage.addEventListener(type, (e) => {
      if (e.target !== canvas) return;
      e.stopPropagation();
      if (type.startsWith('touch') && e.cancelable) e.preventDefault();  // no mouse events made from it
      if (type === 'pointerdown' && playing()) asking(ask.hidden);
    }, true);
  }
  document.addEventListener('pointerdown', (e) => {
    if (!ask.hidden && !ask.contains(e.target) && e.target !== canvas) asking(false);
  }, true);
  window.addEventListener('keydown', () => { if (!ask.hidden) asking(false); }, true);
  $('ask-quit').addEventListener('click', () => {
    asking(false);
    sendKey('keydown', 'Escape', false);
    sendKey('keyup', 'Escape', false);
  });
  $('ask-stay').addEventListener('click', () => asking(false));

  // The command line from the address: ?seed=42&mute gives --seed 42 --mute.
  // A game continued keeps its own seed and language.
  function argsFromAddress(continuing) {
    const args = [];
    for (const [name, value] of new URLSearchParams(location.search)) {
      if (continuing && (name === 'seed' || name === 'lang')) continue;
      args.push('--' + name);
      if (value !== '') args.push(value);
    }
    return args;
  }

  // The end of the program, in words, with a way to play again, where the
  // buttons were: the game's last picture (its score, its funds) stays.
  let stderrTail = [];
  let fatalText = '';
  let over = false;
  let endStatus = null;
  let lastPicture = null;
  function endedWords() {
    if (endStatus === 0) return say('ended');
    if (endStatus === 2) return say('badOptions');
    if (fatalText || endStatus === 70 || endStatus === -1) return say('error');
    return say('status').replace('%s', endStatus);
  }
  function finish(status) {
    if (over) return;
    over = true;
    endStatus = status;
    gate.hidden = true;
    asking(false);
    // SDL empties the canvas as it closes the window: the copy made just
    // before goes back in.
    if (lastPicture) {
      canvas.width = lastPicture.width;
      canvas.height = lastPicture.height;
      canvas.getContext('2d').drawImage(lastPicture, 0, 0);
      lastPicture = null;
    }
    const detail = fatalText || stderrTail.join('\n');
    endedText.textContent = endedWords();
    endedDetail.textContent = detail;
    endedDetail.hidden = status === 0 || !detail;
    again.textContent = say(status === 0 ? 'again' : 'retry');
    ended.hidden = false;
    document.body.dataset.state = status === 0 ? 'ended' : 'failed';
    fit();
    again.focus({ preventScroll: true });
  }
  function fail(what) {
    if (over) return;
    fatalText = fatalText || String(what || 'unknown error');
    finish(-1);
  }
  window.addEventListener('error', (e) => fail(e.message));
  window.addEventListener('unhandledrejection', (e) => fail(e.reason && (e.reason.message || e.reason)));

  // The kept games: the program keeps them as files of its own memory,
  // which the page brings in from the browser's storage before each game
  // and writes back as the game goes (a second at most is lost when the tab
  // is closed or the phone drops it), when the page is hidden and at the
  // end. One entry a file; a page touches only the files it has seen, so
  // two tabs keep each other's games.
  const KEPT = 'pikora.kept/';
  let current = null, folder = '', seen = new Map();  // file name → the time it was last kept
  let unkept = false;
  function keep() {
    const game = current;
    if (!game || !folder) return;
    try {
      const here = new Set();
      for (const name of game.FS.readdir(folder)) {
        const stat = game.FS.stat(`${folder}/${name}`);
        if (!game.FS.isFile(stat.mode)) continue;
        here.add(name);
        if (seen.get(name) === stat.mtime.getTime()) continue;
        localStorage.setItem(KEPT + name, game.FS.readFile(`${folder}/${name}`, { encoding: 'utf8' }));
        seen.set(name, stat.mtime.getTime());
      }
      for (const name of seen.keys()) {
        if (here.has(name)) continue;
        localStorage.removeItem(KEPT + name);
        seen.delete(name);
      }
    } catch (e) {
      if (!unkept) console.warn('the game is not kept in this browser:', e && (e.message || e));
      unkept = true;
    }
  }
  setInterval(() => { if (playing()) keep(); }, 1000);
  document.addEventListener('visibilitychange', () => { if (document.visibilityState === 'hidden') keep(); });
  window.addEventListener('pagehide', keep);
  // The kept games brought in; the one to continue, if any.
  function openKept(game) {
    current = game;
    folder = game.ccall('pikora_kept_folder', 'string', [], []);
    seen = new Map();
    try {
      game.FS.mkdirTree(folder);
      for (let i = 0; i < localStorage.length; i++) {
        const key = localStorage.key(i);
        if (!key.startsWith(KEPT) || key.includes('/', KEPT.length)) continue;
        const name = key.slice(KEPT.length), path = `${folder}/${name}`;
        game.FS.writeFile(path, localStorage.getItem(key));
        seen.set(name, game.FS.stat(path).mtime.getTime());
      }
    } catch (e) {
      console.warn('the kept games cannot be read from this browser:', e && (e.message || e));
    }
    const said = game.ccall('pikora_stopped', 'string', [], []);
    return said ? said.split('\n') : null;
  }

  // One run of the program, on a fresh canvas each time; it starts when the
  // page calls its main.
  function makeGame() {
    stderrTail = [];
    fatalText = '';
    over = false;
    endStatus = null;
    lastPicture = null;
    const fresh = canvas.cloneNode(false);
    canvas.replaceWith(fresh);
    canvas = fresh;
    return window.Pikora({
      canvas,
      arguments: argsFromAddress(),
      noInitialRun: true,
      print: (text) => console.log(text),
      printErr: (text) => {
        console.warn(text);
        stderrTail.push(text);
        if (stderrTail.length > 100) stderrTail.shift();  // the whole usage text after a bad option
      },
      // What the game tells the player before it stops on a fatal error.
      pikoraFatal: (text) => { fatalText = text; },
      // The game's last picture, copied as its window closes.
      pikoraLastPicture: (copy) => { lastPicture = copy; },
      onExit: (status) => {
        finish(status);
        keep();
      },
      onAbort: (what) => fail(what),
    });
  }

  function run(game, args) {
    document.body.dataset.state = 'playing';
    try {
      game.callMain(args);
    } catch (e) {
      // The program's own end (exit) unwinds through here; anything else is a fault.
      if (!(e && e.name === 'ExitStatus')) fail(e.message || e);
    }
  }

  // The gate: the program is loaded and ready while the player reads it; the
  // click starts it (and is not itself a click on the game). A game that
  // stopped before its end is offered first.
  let ready = null;
  function load() {
    const script = document.createElement('script');
    script.src = 'pikora.js';
    script.onerror = () => fail('pikora.js could not be loaded.');
    script.onload = () => {
      Promise.resolve().then(makeGame).then((game) => {
        ready = game;
        stopped = openKept(game);
        resume.hidden = !stopped;
        gate.classList.toggle('offer', !!stopped);
        start.disabled = false;
        speak(lang);
        document.body.dataset.state = 'gate';
        (stopped ? resume : start).focus();
      }, (e) => fail(e && (e.message || e)));
    };
    document.body.appendChild(script);
  }
  function begin(args) {
    if (!ready || start.disabled) return;
    gate.hidden = true;
    document.activeElement && document.activeElement.blur();
    run(ready, args);
  }
  start.addEventListener('click', () => begin(argsFromAddress()));
  resume.addEventListener('click', () => begin(argsFromAddress(true).concat('--continue')));
  again.addEventListener('click', () => {
    ended.hidden = true;
    document.body.dataset.state = 'playing';
    fit();
    again.blur();
    // The click that asked for the new game lets its sound start at once.
    Promise.resolve().then(makeGame).then((game) => {
      openKept(game);
      run(game, argsFromAddress());
    }).catch((e) => fail(e && (e.message || e)));
  });

  // The buttons: a press is the key's press, held arrows for the amount and
  // the volume repeat as a held key does.
  const keys = {
    ArrowLeft: ['ArrowLeft', 37], ArrowUp: ['ArrowUp', 38], ArrowRight: ['ArrowRight', 39],
    ArrowDown: ['ArrowDown', 40], KeyP: ['p', 80], KeyL: ['l', 76], KeyM: ['m', 77], Minus: ['-', 189],
    Equal: ['=', 187], Escape: ['Escape', 27],
  };
  function sendKey(type, code, repeat) {
    const [key, keyCode] = keys[code];
    const e = new KeyboardEvent(type, { key, code, repeat, bubbles: true, cancelable: true });
    // keyCode is read-only and not settable through the event's init in every browser.
    Object.defineProperty(e, 'keyCode', { get: () => keyCode });
    Object.defineProperty(e, 'which', { get: () => keyCode });
    window.dispatchEvent(e);
  }
  for (const button of document.querySelectorAll('#pad button[data-key]')) {
    const code = button.dataset.key;
    let timer = 0, held = false;
    const release = () => {
      if (!held) return;
      held = false;
      clearTimeout(timer);
      button.classList.remove('down');
      sendKey('keyup', code, false);
    };
    button.tabIndex = -1;  // for fingers and the mouse; the keyboard has its own keys
    button.addEventListener('pointerdown', (e) => {
      e.preventDefault();
      if (held) return;
      held = true;
      button.classList.add('down');
      button.setPointerCapture && button.setPointerCapture(e.pointerId);
      sendKey('keydown', code, false);
      if (button.hasAttribute('data-repeat')) {
        const repeatKey = () => { sendKey('keydown', code, true); timer = setTimeout(repeatKey, 90); };
        timer = setTimeout(repeatKey, 450);
      }
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) button.addEventListener(type, release);
    button.addEventListener('contextmenu', (e) => e.preventDefault());
  }

  document.body.dataset.state = 'loading';
  speak(lang);
  fit();
  load();

  // Kept by the browser after the first visit: the page loads and plays
  // without the network (sw.js), and a new build replaces what it kept.
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    window.addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch((e) =>
      console.warn('the page is not kept for offline play:', e && (e.message || e))));
  }
})();
