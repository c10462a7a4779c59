// The page: loads our program and the two data files, shows the start
// screen, runs the show in the canvas and comes back to the start screen
// when it ends. Browsers let audio start only after a click or a key, hence
// the start screen.
//
// What goes wrong (no WebGL2, a data file missing or broken, no audio
// worklet, audio that does not start) is said in one sentence on the page
// and in the console.
//
// With ?test in the address the page also offers window.boxdemoTest, the
// hook the browser tests drive it through (tests/web/browser.test.mjs).

import { ChiptuneJsPlayer } from './chiptune3/chiptune3.js';
import { SongPlayer } from './song_player.js';

const canvas = document.getElementById('show');
const startScreen = document.getElementById('start');
const message = document.getElementById('message');

let program = null; // our program (boxdemo.js)
let songPlayer = null;
let state = 'loading'; // then 'ready' (the start screen), 'show', or 'broken'
let frameRequest = 0;
let fullScreenShow = false; // this show has entered full screen

// NOTE: Firefox answers AudioContext.outputLatency (and getOutputTimestamp)
// by waiting on its audio thread, which with PulseAudio at times never
// answers: the page freezes for good, often within a few plays. There the
// latency is assumed, at about what it reports when it does answer.
const firefoxLatency = 0.04;
const askLatency = !/\bFirefox\//.test(navigator.userAgent);

class Problem extends Error {}

function setState(next) {
    state = next;
    document.body.dataset.state = next;
}

function fail(sentence) {
    cancelAnimationFrame(frameRequest);
    setState('broken');
    canvas.hidden = true;
    startScreen.hidden = false;
    message.textContent = sentence;
    message.className = 'problem';
    console.error(sentence);
}

function problemText() {
    return program.UTF8ToString(program._webProblem());
}

async function fetchData(name) {
    let response;
    try {
        response = await fetch(name);
    } catch (error) {
        throw new Problem(`its data file ${name} could not be fetched (${error.message})`);
    }
    if (!response.ok) {
        throw new Problem(
            `its data file ${name} is missing (the server answered ${response.status} ${response.statusText})`,
        );
    }
    return new Uint8Array(await response.arrayBuffer());
}

async function load() {
    try {
        songPlayer = new SongPlayer(new ChiptuneJsPlayer({ repeatCount: 0 }), askLatency ? undefined : firefoxLatency);
    } catch (error) {
        throw new Problem(`this browser cannot play its music (${error.message})`);
    }
    const playerStarted = songPlayer.start();
    const data = Promise.all([fetchData('fontpre.tga'), fetchData('demosong.it')]);
    data.catch(() => {}); // judged below, after the program
    try {
        program = await createBoxdemo();
    } catch (error) {
        throw new Problem(`its program boxdemo.wasm could not be loaded (${error})`);
    }
    program.songPlayer = songPlayer;
    program.onShowEnded = showEnded;
    if (!program._webOpen()) {
        fail(`This browser cannot show the demo: ${problemText()}.`);
        return;
    }

    const [font, song] = await data;
    program.FS.writeFile('fontpre.tga', font);
    if (!program._webLoadFont()) throw new Problem(`its data file fontpre.tga ${problemText()}`);
    try {
        await playerStarted;
    } catch (error) {
        throw new Problem(`this browser cannot play its music (${error.message})`);
    }
    try {
        await songPlayer.check(song);
    } catch (error) {
        throw new Problem(`its data file demosong.it ${error.message}`);
    }
    program.FS.writeFile('demosong.it', song);
    songPlayer.onEnd = () => program._webSongEnded();
    songPlayer.onFailure = (why) => {
        program._webSongEnded();
        fail(`The demo stopped: its data file demosong.it ${why}.`);
    };
    songPlayer.onNoAudio = () => {
        program._webSongEnded();
        fail('The demo cannot start: this browser\'s audio did not start (is a sound device or sound server available?).');
    };
    showStartScreen();
}

function showStartScreen() {
    setState('ready');
    canvas.hidden = true;
    startScreen.hidden = false;
    message.textContent = 'click or press a key to start';
    message.className = '';
}

// The canvas in device pixels, so that the picture is scaled only once, by us.
function sizeCanvas() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(canvas.clientWidth * ratio);
    const height = Math.round(canvas.clientHeight * ratio);
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
}

function showCanvas() {
    startScreen.hidden = true;
    canvas.hidden = false;
    sizeCanvas();
}

function begin() {
    if (state !== 'ready') return;
    // NOTE: asked for before anything else, while the browser still counts
    // this as the user's gesture.
    fullScreenShow = false;
    document.documentElement.requestFullscreen?.().catch(() => {});
    showCanvas();
    if (!program._webStart()) {
        fail(`The demo cannot start: it ${problemText()}.`);
        return;
    }
    setState('show');
    frameRequest = requestAnimationFrame(frame);
}

function frame() {
    sizeCanvas();
    if (program._webFrame(canvas.width, canvas.height)) frameRequest = requestAnimationFrame(frame);
}

// Called by the program when the show has ended: the quit order, a key or
// the song's end.
function showEnded() {
    cancelAnimationFrame(frameRequest);
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    showStartScreen();
}

// The keys that type a character end the show, as on the desktop; others
// (arrows, function keys, modifiers) do nothing.
function typesCharacter(event) {
    return event.key.length === 1 || ['Enter', 'Escape', 'Backspace', 'Tab', 'Delete'].includes(event.key);
}

startScreen.addEventListener('click', begin);
// NOTE: in full screen the browser keeps Escape to itself and leaves full
// screen; as Escape ends the show on the desktop, leaving full screen does.
// Only this show's own full screen counts: the previous show's leaving it
// may be reported after a key has already started the next.
document.addEventListener('fullscreenchange', () => {
    if (state !== 'show') return;
    if (document.fullscreenElement) fullScreenShow = true;
    else if (fullScreenShow) program._webKey();
});
window.addEventListener('keydown', (event) => {
    if (event.repeat) return;
    if (state === 'ready' && !['Shift', 'Control', 'Alt', 'Meta'].includes(event.key)) {
        begin();
    } else if (state === 'show' && typesCharacter(event)) {
        event.preventDefault();
        program._webKey();
    }
});

setState('loading');
const loaded = load().catch((error) => {
    if (error instanceof Problem) fail(`The demo cannot start: ${error.message}.`);
    else fail(`The demo cannot start: ${error}.`);
});

// ---- reduced flashing ----
// Two ways to start: "Play" and "Play with reduced flashing" (the show
// through the program's reduced-flashing filter). The second is chosen when
// the viewer's system asks for reduced motion; a focused button is the
// choice a key starts. During the show a switch turns the filter on and off.

const playButtons = { plain: document.getElementById('play'), reduced: document.getElementById('play-reduced') };
const flashingSwitch = document.getElementById('flashing-switch');
let reducedFlashing = window.matchMedia?.('(prefers-reduced-motion: reduce)').matches ?? false;

function chooseReducedFlashing(on) {
    reducedFlashing = on;
    playButtons.reduced.classList.toggle('chosen', on);
    playButtons.plain.classList.toggle('chosen', !on);
    flashingSwitch.setAttribute('aria-pressed', String(on));
    if (program) program._webReduceFlashing(on ? 1 : 0);
}

for (const [kind, button] of Object.entries(playButtons)) {
    // NOTE: chosen before the start screen's own click handler starts the show.
    button.addEventListener('click', () => chooseReducedFlashing(kind === 'reduced'));
    button.addEventListener('focus', () => chooseReducedFlashing(kind === 'reduced'));
}
flashingSwitch.addEventListener('click', () => chooseReducedFlashing(!reducedFlashing));
// NOTE: a key on the switch would end the show (any character does); it is
// for the pointer.
flashingSwitch.tabIndex = -1;
chooseReducedFlashing(reducedFlashing);
loaded.then(() => {
    if (program) chooseReducedFlashing(reducedFlashing);
    if (state === 'ready') (reducedFlashing ? playButtons.reduced : playButtons.plain).focus();
});

// ---- the tests' hook ----

function base64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
}

if (new URLSearchParams(location.search).has('test')) {
    window.boxdemoTest = {
        loaded,
        // Runs the show from the top on the clock and music positions given,
        // steps[i] = [clockMs, order | row << 16], without music, drawing only
        // the steps listed in drawn. Gives those frames' canvas pixels (RGBA
        // from the lower left, base64) and the scene row after every step.
        replay(steps, drawn) {
            showCanvas();
            const keep = new Set(drawn);
            const pictures = {};
            const rows = [];
            program._webHookStart(steps[0][0]);
            steps.forEach(([clockMs, position], i) => {
                program._webHookStep(clockMs, position, keep.has(i) ? 1 : 0);
                program._webFrame(canvas.width, canvas.height);
                rows.push(program._webSceneRow());
                if (keep.has(i)) {
                    const at = program._webReadCanvas(canvas.width, canvas.height);
                    pictures[i] = base64(program.HEAPU8.subarray(at, at + canvas.width * canvas.height * 4));
                }
            });
            program._webHookStep(0, 0, 1);
            return { width: canvas.width, height: canvas.height, pictures, rows };
        },
        // The scene row the show is at (6 once it has quit).
        sceneRow: () => program._webSceneRow(),
        // Moves the playing song to order and row.
        seek: (order, row) => songPlayer.seek(order, row),
        musicPlaying: () => songPlayer.playing,
        // Whether the show is shown through the reduced-flashing filter.
        reducedFlashing: () => reducedFlashing,
    };
}
