'use strict';
// The page around the game: the picture's scale, the "click to start" gate
// (browsers start sound only after a gesture), the on-page buttons, the end of
// the program and its errors in words. The game itself is pikora.js/.wasm,
// built from the same sources as the desktop game.
(function () {
  const W = 800, H = 600;
  const $ = (id) => document.getElementById(id);
  const stage = $('stage'), gate = $('gate'), start = $('start');
  const ended = $('ended'), endedText = $('ended-text'), endedDetail = $('ended-detail'), again = $('again');
  let canvas = $('canvas');

  // The picture in whole multiples of device pixels where one fits, so every
  // pixel of the game stays square and sharp; fitted (kept in proportion)
  // where the window is smaller than the picture. In fullscreen the picture
  // has the whole screen.
  function fit() {
    const dpr = window.devicePixelRatio || 1;
    const full = document.fullscreenElement === stage;
    const reserved = full ? 0 : document.querySelector('header').offsetHeight + $('pad').offsetHeight + 28;
    const availW = Math.max((full ? window.innerWidth : document.documentElement.clientWidth - 16), W / 4);
    const availH = Math.max(window.innerHeight - reserved, H / 4);
    const f = Math.min(availW / W, availH / H) * dpr;
    const k = f >= 1 ? Math.floor(f) : f;
    document.documentElement.style.setProperty('--picture-w', (W * k / dpr) + 'px');
    document.documentElement.style.setProperty('--picture-h', (H * k / dpr) + 'px');
  }
  window.addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  fit();

  // Fullscreen is the page's: the browser grants it only within the key's own
  // event, and the picture goes fullscreen with the page's messages over it.
  // (The game's own fullscreen would resize the canvas the page scales.)
  window.addEventListener('keydown', (e) => {
    if (e.key !== 'F11' && !(e.altKey && e.key === 'Enter')) return;
    e.preventDefault();
    e.stopImmediatePropagation();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
  }, true);

  // The command line from the address: ?seed=42&mute gives --seed 42 --mute.
  function argsFromAddress() {
    const args = [];
    for (const [name, value] of new URLSearchParams(location.search)) {
      args.push('--' + name);
      if (value !== '') args.push(value);
    }
    return args;
  }

  // The end of the program, in words, with a way to play again.
  let stderrTail = [];
  let fatalText = '';
  let over = false;
  function finish(status) {
    if (over) return;
    over = true;
    gate.hidden = true;
    const detail = fatalText || stderrTail.join('\n');
    if (status === 0) endedText.textContent = 'The game has ended. Thank you for playing!';
    else if (status === 2) endedText.textContent = 'The game could not start with the options in the address:';
    else if (fatalText || status === 70) endedText.textContent = 'The game stopped on an error:';
    else endedText.textContent = 'The game has ended (status ' + status + ').';
    endedDetail.textContent = detail;
    endedDetail.hidden = status === 0 || !detail;
    again.textContent = status === 0 ? 'Play again' : 'Try again';
    ended.hidden = false;
    document.body.dataset.state = status === 0 ? 'ended' : 'failed';
    again.focus();
  }
  function fail(what) {
    if (over) return;
    fatalText = fatalText || String(what || 'unknown error');
    finish(-1);
  }
  window.addEventListener('error', (e) => fail(e.message));
  window.addEventListener('unhandledrejection', (e) => fail(e.reason && (e.reason.message || e.reason)));

  // One run of the program, on a fresh canvas each time.
  function makeGame(runNow) {
    stderrTail = [];
    fatalText = '';
    over = false;
    const fresh = canvas.cloneNode(false);
    canvas.replaceWith(fresh);
    canvas = fresh;
    return window.Pikora({
      canvas,
      arguments: argsFromAddress(),
      noInitialRun: !runNow,
      print: (text) => console.log(text),
      printErr: (text) => {
        console.warn(text);
        stderrTail.push(text);
        if (stderrTail.length > 40) stderrTail.shift();
      },
      // What the game tells the player before it stops on a fatal error.
      pikoraFatal: (text) => { fatalText = text; },
      onExit: (status) => finish(status),
      onAbort: (what) => fail(what),
    });
  }

  // The gate: the program is loaded and ready while the player reads it; the
  // click starts it (and is not itself a click on the game).
  let ready = null;
  function load() {
    const script = document.createElement('script');
    script.src = 'pikora.js';
    script.onerror = () => fail('pikora.js could not be loaded.');
    script.onload = () => {
      try {
        ready = makeGame(false);
      } catch (e) {
        return fail(e.message || e);
      }
      Promise.resolve(ready).then((game) => {
        ready = game;
        start.disabled = false;
        start.textContent = 'Click to start';
        document.body.dataset.state = 'gate';
        start.focus();
      }, (e) => fail(e && (e.message || e)));
    };
    document.body.appendChild(script);
  }
  start.addEventListener('click', () => {
    if (!ready || start.disabled) return;
    gate.hidden = true;
    start.blur();
    document.body.dataset.state = 'playing';
    try {
      ready.callMain(argsFromAddress());
    } catch (e) {
      // The program's own end (exit) unwinds through here; anything else is a fault.
      if (!(e && e.name === 'ExitStatus')) fail(e.message || e);
    }
  });
  again.addEventListener('click', () => {
    ended.hidden = true;
    document.body.dataset.state = 'playing';
    again.blur();
    // The click that asked for the new game lets its sound start at once.
    Promise.resolve(makeGame(true)).catch((e) => fail(e && (e.message || e)));
  });

  // The buttons: a press is the key's press, held arrows for the amount and
  // the volume repeat as a held key does.
  const keys = {
    ArrowLeft: ['ArrowLeft', 37], ArrowUp: ['ArrowUp', 38], ArrowRight: ['ArrowRight', 39],
    ArrowDown: ['ArrowDown', 40], KeyP: ['p', 80], KeyM: ['m', 77], Minus: ['-', 189], Equal: ['=', 187],
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
  load();
})();
