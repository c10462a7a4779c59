// The page: loads our program and its data files, shows the start screen,
// plays the show in the canvas as a player (pause, seeking, the scenes as
// chapters, volume, full screen, a link to any moment) and shows an end
// screen when it ends. Browsers let audio start only after a click or a key,
// hence the start screen.
//
// What goes wrong (no WebGL2, a data file missing, broken or not answered,
// no audio worklet, audio that does not start) is said in one sentence on
// the page and in the console.
//
// With ?test in the address the page also offers window.boxdemoTest, the
// hook the browser tests drive it through (tests/web/browser.test.mjs).

import { ChiptuneJsPlayer } from './chiptune3/chiptune3.js';
import { SongPlayer } from './song_player.js';

window.boxdemoPageRan = true; // (index.html's watchdog)
const $ = (id) => document.getElementById(id);
const canvas = $('show');
const startScreen = $('start');
const endScreen = $('end');
const controls = $('controls');
const message = $('message');
const progress = $('progress');

// How long a file may take to arrive (set by index.html).
const fetchLimitMs = window.boxdemoFetchLimitMs;
// How long the controls stay after the pointer last moved.
const controlsShownMs = 2000;
// The largest device-pixel ratio the canvas is drawn at.
const largestPixelRatio = 2;
const testing = new URLSearchParams(location.search).has('test');

let program = null; // our program (boxdemo.js)
let songPlayer = null;
let state = 'loading'; // then 'ready' (the start screen), 'show', 'ended' or 'broken'
let frameRequest = 0;
let showFrames = 0; // the show's length in frames at fps
let fps = 60; // the frames a seek lands on, per second
const scenes = []; // { name, frame } for each scene
// The show's clock: clockMs when it last stopped or was set, and the
// performance.now() since which it has run (null while it stands).
const clock = { ms: 0, since: null };
let paused = false;
let waitingForMusic = false; // after a seek, until the song is there
let loop = false;
let startFrame = 0; // where the next start begins (a link's moment)
let controlsTimer = 0;
let buildTimer = 0;
let starts = 0; // shows started since the page loaded

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

function show(element, shown) {
    element.hidden = !shown;
}

function fail(sentence) {
    cancelAnimationFrame(frameRequest);
    setState('broken');
    show(canvas, false);
    show(controls, false);
    show(endScreen, false);
    show(startScreen, true);
    show(progress, false);
    show($('play'), false);
    show($('play-reduced'), false);
    message.textContent = sentence;
    message.className = 'problem';
    console.error(sentence);
}

function problemText() {
    return program.UTF8ToString(program._webProblem());
}

// ---- loading ----

// Bytes loaded and expected, over every file fetched here.
const loading = { loaded: 0, total: 0 };

function noteLoaded(bytes, total = 0) {
    loading.loaded += bytes;
    loading.total += total;
    if (loading.total > 0) progress.value = Math.min(1, loading.loaded / loading.total);
    if (state === 'loading') {
        const mb = (n) => (n / 1e6).toFixed(1);
        message.textContent = `Loading… ${mb(loading.loaded)} of ${mb(Math.max(loading.total, loading.loaded))} MB`;
    }
}

// A file's bytes, within fetchLimitMs; a Problem naming the file and why
// when they do not come.
async function fetchData(name, what = 'its data file') {
    const abort = new AbortController();
    const timer = setTimeout(() => abort.abort(), fetchLimitMs);
    const limit = `no answer within ${fetchLimitMs / 1000} s`;
    try {
        let response;
        try {
            response = await fetch(name, { signal: abort.signal });
        } catch (error) {
            throw new Problem(`${what} ${name} could not be fetched (${abort.signal.aborted ? limit : error.message})`);
        }
        if (!response.ok) {
            throw new Problem(`${what} ${name} is missing (the server answered ${response.status} ${response.statusText})`);
        }
        const total = Number(response.headers.get('Content-Length')) || 0;
        noteLoaded(0, total);
        const parts = [];
        let length = 0;
        try {
            const reader = response.body.getReader();
            for (;;) {
                const { done, value } = await reader.read();
                if (done) break;
                parts.push(value);
                length += value.length;
                noteLoaded(value.length);
            }
        } catch (error) {
            throw new Problem(`${what} ${name} could not be fetched (${abort.signal.aborted ? limit : error.message})`);
        }
        const bytes = new Uint8Array(length);
        let at = 0;
        for (const part of parts) {
            bytes.set(part, at);
            at += part.length;
        }
        return bytes;
    } finally {
        clearTimeout(timer);
    }
}

async function load() {
    try {
        songPlayer = new SongPlayer(new ChiptuneJsPlayer({ repeatCount: 0 }), askLatency ? undefined : firefoxLatency);
    } catch (error) {
        throw new Problem(`this browser cannot play its music (${error.message})`);
    }
    const playerStarted = songPlayer.start();
    const wasm = fetchData('boxdemo.wasm', 'its program');
    const data = Promise.all([fetchData('fontpre.tga'), fetchData('demosong.it'), fetchData('songframes.bin')]);
    data.catch(() => {}); // judged below, after the program
    try {
        program = await createBoxdemo({ wasmBinary: await wasm });
    } catch (error) {
        if (error instanceof Problem) throw error;
        throw new Problem(`its program boxdemo.wasm could not be loaded (${error})`);
    }
    program.songPlayer = songPlayer;
    program.onShowEnded = showEnded;
    if (!program._webOpen()) {
        fail(`This browser cannot show the demo: ${problemText()}.`);
        return;
    }

    const [font, song, songFrames] = await data;
    program.FS.writeFile('fontpre.tga', font);
    if (!program._webLoadFont()) throw new Problem(`its data file fontpre.tga ${problemText()}`);
    program.FS.writeFile('songframes.bin', songFrames);
    if (!program._webLoadSongFrames()) throw new Problem(`its data file songframes.bin ${problemText()}`);
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
    fps = program._webSeekFps();
    showFrames = program._webShowFrames();
    for (let row = 0; row < 6; ++row) {
        scenes.push({ name: program.UTF8ToString(program._webSceneName(row)), frame: program._webSceneStartFrame(row) });
    }
    makeChapters();
    readLink();
    showStartScreen();
    buildCheckpoints();
}

// Checkpoints for seeking, built in slices while the page has time: at the
// start screen and while paused in long slices, while playing a few frames
// after each drawn frame.
function buildCheckpoints() {
    clearTimeout(buildTimer);
    if (state === 'broken') return;
    const idle = state !== 'show' || paused;
    const until = performance.now() + (idle ? 12 : 0);
    let more = true;
    do more = program._webBuildCheckpoints(idle ? 10 : 2) === 1;
    while (more && performance.now() < until);
    if (more && idle) buildTimer = setTimeout(buildCheckpoints, 0);
}

// ---- links: #t=65, #t=1:05, #scene=5, #loop ----

function readLink() {
    const fields = new URLSearchParams(location.hash.slice(1));
    loop = fields.has('loop');
    startFrame = 0;
    const time = fields.get('t');
    const scene = Number(fields.get('scene'));
    if (time !== null) {
        const match = /^(?:(\d+):)?(\d+(?:\.\d+)?)s?$/.exec(time);
        if (match) startFrame = Math.round((Number(match[1] ?? 0) * 60 + Number(match[2])) * fps);
    } else if (Number.isInteger(scene) && scene >= 1 && scene <= scenes.length) {
        startFrame = scenes[scene - 1].frame;
    }
    startFrame = Math.min(Math.max(startFrame, 0), showFrames - 1);
}

function linkTo(frame) {
    const seconds = Math.floor(frame / fps);
    return `${location.origin}${location.pathname}#t=${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
}

async function copyLink(link) {
    try {
        await navigator.clipboard.writeText(link);
        toast(`Link copied: ${link}`);
    } catch {
        toast(`The link: ${link}`);
    }
}

function toast(text) {
    const element = $('toast');
    element.textContent = text;
    show(element, true);
    clearTimeout(toast.timer);
    toast.timer = setTimeout(() => show(element, false), 4000);
}

// ---- the show ----

function showStartScreen() {
    setState('ready');
    show(canvas, false);
    show(controls, false);
    show(endScreen, false);
    show(progress, false);
    show(startScreen, true);
    const play = $('play');
    show(play, true);
    show($('keys'), true);
    show($('play-reduced'), true);
    const from = startFrame > 0 ? ` from ${minutes(startFrame)}` : '';
    play.textContent = `Play${from}`;
    $('play-reduced').textContent = `Play${from} with reduced flashing`;
    message.textContent = 'click or press a key to start';
    message.className = '';
}

// The canvas in CSS pixels times the device's pixel ratio (at most
// largestPixelRatio), so that the picture is scaled only once, by us.
function sizeCanvas() {
    const ratio = Math.min(window.devicePixelRatio || 1, largestPixelRatio);
    const width = Math.round(canvas.clientWidth * ratio);
    const height = Math.round(canvas.clientHeight * ratio);
    if (canvas.width === width && canvas.height === height) return false;
    canvas.width = width;
    canvas.height = height;
    return true;
}

function clockMs() {
    return clock.since === null ? clock.ms : clock.ms + (performance.now() - clock.since);
}

function setClock(ms, running) {
    clock.ms = ms;
    clock.since = running ? performance.now() : null;
}

// The frame the show's clock is at (the first whose time is not before it).
function currentFrame() {
    return Math.min(Math.ceil((Math.floor(clockMs()) * fps) / 1000), showFrames - 1);
}

function frameMs(frame) {
    return Math.floor((frame * 1000) / fps);
}

function begin() {
    if (state !== 'ready' && state !== 'ended') return;
    // NOTE: asked for before anything else, while the browser still counts
    // this as the user's gesture.
    if (state === 'ready') document.documentElement.requestFullscreen?.().catch(() => {});
    show(startScreen, false);
    show(endScreen, false);
    show(canvas, true);
    show(controls, true);
    sizeCanvas();
    if (!program._webStart()) {
        fail(`The demo cannot start: it ${problemText()}.`);
        return;
    }
    setState('show');
    ++starts;
    paused = false;
    waitingForMusic = false;
    setClock(0, true);
    songPlayer.setVolume(volume.value, volume.muted);
    if (startFrame > 0) seek(startFrame);
    startFrame = 0;
    updateControls();
    updateMediaSession();
    pokeControls();
    frameRequest = requestAnimationFrame(frame);
}

function frame() {
    frameRequest = 0;
    if (state !== 'show' || paused) return;
    sizeCanvas();
    if (waitingForMusic) {
        if (!songPlayer.targetReached()) {
            frameRequest = requestAnimationFrame(frame);
            return;
        }
        waitingForMusic = false;
        setClock(clock.ms, true);
    }
    const going = program._webFrame(canvas.width, canvas.height, Math.floor(clockMs()));
    if (state !== 'show') return; // ended within the frame
    updateControls();
    buildCheckpoints();
    if (going) frameRequest = requestAnimationFrame(frame);
}

// Brings picture and music to frame (at fps), paused or playing.
function seek(target) {
    if (state !== 'show') return;
    target = Math.min(Math.max(Math.round(target), 0), showFrames - 1);
    sizeCanvas();
    program._webSeek(target, canvas.width, canvas.height);
    songPlayer.seekTo(target / fps, program._webFramePosition(target));
    setClock(frameMs(target), false);
    waitingForMusic = true;
    updateControls();
    updateMediaSession();
    if (testing && !testHook.timing) testHook.noteSeek(target);
    if (!paused && !frameRequest) frameRequest = requestAnimationFrame(frame);
}

function setPaused(on) {
    if (state !== 'show' || paused === on) return;
    paused = on;
    if (on) {
        setClock(clockMs(), false);
        songPlayer.pause();
        cancelAnimationFrame(frameRequest);
        frameRequest = 0;
        buildCheckpoints();
    } else {
        songPlayer.resume();
        setClock(clock.ms, !waitingForMusic);
        frameRequest = requestAnimationFrame(frame);
    }
    updateControls();
    updateMediaSession();
    pokeControls();
}

// Ends the show: the quit order, the song's end, or the viewer.
function showEnded() {
    cancelAnimationFrame(frameRequest);
    frameRequest = 0;
    paused = false;
    if (loop && state === 'show') {
        setState('ended');
        begin();
        return;
    }
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    setState('ended');
    show(canvas, false);
    show(controls, false);
    show(endScreen, true);
    updateMediaSession();
}

function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else document.documentElement.requestFullscreen?.().catch(() => {});
}

// ---- volume ----

const volume = { value: 1, muted: false };

function setVolume(value, muted) {
    volume.value = Math.min(Math.max(value, 0), 1);
    volume.muted = muted;
    songPlayer?.setVolume(volume.value, volume.muted);
    $('volume').value = String(volume.value);
    $('mute').textContent = muted ? 'Unmute' : 'Mute';
}

// ---- the controls ----

function minutes(frame) {
    const seconds = Math.floor(frame / fps);
    return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
}

function makeChapters() {
    const chapters = $('chapters');
    for (const [i, scene] of scenes.entries()) {
        const mark = document.createElement('div');
        mark.className = 'chapter';
        mark.style.left = `${(100 * scene.frame) / showFrames}%`;
        mark.title = `${i + 1} ${scene.name}`;
        chapters.append(mark);
    }
    $('timeline').setAttribute('aria-valuemax', String(Math.floor(showFrames / fps)));
}

function sceneAt(frame) {
    let row = 0;
    while (row + 1 < scenes.length && scenes[row + 1].frame <= frame) ++row;
    return row;
}

function updateControls() {
    const at = currentFrame();
    $('played').style.width = `${(100 * at) / showFrames}%`;
    $('time').textContent = `${minutes(at)} / ${minutes(showFrames)}`;
    const row = sceneAt(at);
    $('chapter').textContent = `${row + 1} ${scenes[row].name}`;
    $('pause').textContent = paused ? 'Play' : 'Pause';
    $('fullscreen').textContent = document.fullscreenElement ? 'Leave full screen' : 'Full screen';
    $('timeline').setAttribute('aria-valuenow', String(Math.floor(at / fps)));
    document.body.dataset.paused = String(paused);
}

// Shows the controls (and the pointer) for controlsShownMs, or for good
// while paused.
function pokeControls() {
    document.body.dataset.controls = 'shown';
    clearTimeout(controlsTimer);
    controlsTimer = setTimeout(() => {
        if (state === 'show' && !paused && !controls.contains(document.activeElement)) {
            document.body.dataset.controls = 'hidden';
        }
    }, controlsShownMs);
}

function timelineFrame(event) {
    const box = $('timeline').getBoundingClientRect();
    return ((event.clientX - box.left) / box.width) * showFrames;
}

$('timeline').addEventListener('pointerdown', (event) => {
    $('timeline').setPointerCapture(event.pointerId);
    seek(timelineFrame(event));
});
$('timeline').addEventListener('pointermove', (event) => {
    if ($('timeline').hasPointerCapture(event.pointerId)) seek(timelineFrame(event));
});
$('pause').addEventListener('click', () => setPaused(!paused));
$('mute').addEventListener('click', () => setVolume(volume.value, !volume.muted));
$('volume').addEventListener('input', (event) => setVolume(Number(event.target.value), false));
$('fullscreen').addEventListener('click', toggleFullScreen);
$('copy').addEventListener('click', () => copyLink(linkTo(currentFrame())));
$('copy-end').addEventListener('click', () => copyLink(linkTo(0)));
$('again').addEventListener('click', begin);
startScreen.addEventListener('click', begin);
controls.addEventListener('focusin', pokeControls);
document.addEventListener('pointermove', () => state === 'show' && pokeControls());

// A click on the picture pauses or resumes; a tap shows the controls first.
canvas.addEventListener('pointerup', (event) => {
    if (state !== 'show') return;
    const hidden = document.body.dataset.controls === 'hidden';
    pokeControls();
    if (event.pointerType !== 'touch' || !hidden) setPaused(!paused);
});

document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement) fullScreenLeftAt = performance.now();
    if (state === 'show') updateControls();
    // the canvas's new size, drawn again while paused
    if (state === 'show' && paused && sizeCanvas()) program._webFrameAgain(canvas.width, canvas.height);
});
window.addEventListener('resize', () => {
    if (state === 'show' && paused && sizeCanvas()) program._webFrameAgain(canvas.width, canvas.height);
});

// ---- keys, as in video players ----

// NOTE: in full screen the browser keeps Escape to itself and leaves full
// screen; some browsers pass the key on just after. An Escape that soon
// after leaving full screen is taken as the one that left it.
let fullScreenLeftAt = -Infinity;
const escapeAfterFullScreenMs = 500;

const keys = {
    ' ': () => setPaused(!paused),
    k: () => setPaused(!paused),
    ArrowLeft: () => seek(currentFrame() - 5 * fps),
    ArrowRight: () => seek(currentFrame() + 5 * fps),
    j: () => seek(currentFrame() - 10 * fps),
    l: () => seek(currentFrame() + 10 * fps),
    Home: () => seek(0),
    0: () => seek(0),
    f: toggleFullScreen,
    m: () => setVolume(volume.value, !volume.muted),
    r: toggleReducedFlashing,
    ArrowUp: () => setVolume(volume.value + 0.1, false),
    ArrowDown: () => setVolume(volume.value - 0.1, false),
    Escape: () => {
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
        else if (performance.now() - fullScreenLeftAt > escapeAfterFullScreenMs) program._webEnd();
    },
};
for (let scene = 1; scene <= 6; ++scene) keys[scene] = () => seek(scenes[scene - 1].frame);

window.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    if ((state === 'ready' || state === 'ended') && !event.repeat && !['Shift', 'Tab', 'Escape'].includes(event.key)) {
        if (event.target instanceof HTMLButtonElement && (event.key === ' ' || event.key === 'Enter')) return;
        event.preventDefault();
        begin();
        return;
    }
    if (state !== 'show') return;
    const action = keys[event.key.length === 1 ? event.key.toLowerCase() : event.key];
    if (!action) return;
    // a focused button takes Space and Enter itself
    if (event.key === ' ' && event.target instanceof HTMLButtonElement) return;
    if (event.repeat && !/^Arrow/.test(event.key)) return;
    event.preventDefault();
    pokeControls();
    action();
    updateControls();
});

// ---- lock screens and media keys ----

function updateMediaSession() {
    const session = navigator.mediaSession;
    if (!session) return;
    session.playbackState = state === 'show' ? (paused ? 'paused' : 'playing') : 'none';
    if (state !== 'show') return;
    try {
        session.setPositionState({ duration: showFrames / fps, position: currentFrame() / fps, playbackRate: 1 });
    } catch {
        // a browser without position states
    }
}

if (navigator.mediaSession && window.MediaMetadata) {
    navigator.mediaSession.metadata = new MediaMetadata({
        title: 'boxdemo', artist: 'boxdemo', album: 'Six scenes of shaded boxes',
        artwork: [{ src: 'poster.png', sizes: '1280x720', type: 'image/png' }],
    });
    const actions = {
        play: () => (state === 'show' ? setPaused(false) : begin()),
        pause: () => setPaused(true),
        seekbackward: () => seek(currentFrame() - 10 * fps),
        seekforward: () => seek(currentFrame() + 10 * fps),
        seekto: (details) => seek(details.seekTime * fps),
    };
    for (const [action, handler] of Object.entries(actions)) {
        try {
            navigator.mediaSession.setActionHandler(action, (details) => {
                handler(details);
                updateMediaSession();
            });
        } catch {
            // an action this browser does not know
        }
    }
}

setState('loading');
const loaded = load().catch((error) => {
    if (error instanceof Problem) fail(`The demo cannot start: ${error.message}.`);
    else fail(`The demo cannot start: ${error}.`);
});

// ---- reduced flashing ----
// Two ways to start: "Play" and "Play with reduced flashing" (the show
// through the program's reduced-flashing filter). The second is chosen when
// the viewer's system asks for reduced motion; the focused one is the choice
// a key at the start screen starts. During the show the controls' switch
// (or R) turns the filter on and off.

let reducedFlashing = window.matchMedia?.('(prefers-reduced-motion: reduce)').matches ?? false;

function chooseReducedFlashing(on) {
    reducedFlashing = on;
    $('play-reduced').classList.toggle('chosen', on);
    $('play').classList.toggle('chosen', !on);
    $('flashing').setAttribute('aria-pressed', String(on));
    if (program) program._webReduceFlashing(on ? 1 : 0);
}

// The switch during the show. While paused the picture is drawn again
// through the choice, by a seek to where the show stands.
function toggleReducedFlashing() {
    chooseReducedFlashing(!reducedFlashing);
    if (state === 'show' && paused) seek(currentFrame());
}

for (const [id, on] of [['play', false], ['play-reduced', true]]) {
    $(id).addEventListener('click', (event) => {
        event.stopPropagation();
        chooseReducedFlashing(on);
        begin();
    });
    $(id).addEventListener('focus', () => chooseReducedFlashing(on));
}
$('flashing').addEventListener('click', toggleReducedFlashing);
chooseReducedFlashing(reducedFlashing);
loaded.then(() => {
    if (program) chooseReducedFlashing(reducedFlashing);
    if (state === 'ready') $(reducedFlashing ? 'play-reduced' : 'play').focus();
});

// ---- the tests' hook ----

function base64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
        text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
}

function canvasPicture() {
    const at = program._webReadCanvas(canvas.width, canvas.height);
    return base64(program.HEAPU8.subarray(at, at + canvas.width * canvas.height * 4));
}

const testHook = {
    loaded,
    // Runs the show from the top on the clock and music positions given,
    // steps[i] = [clockMs, order | row << 16], without music, drawing only
    // the steps listed in drawn. Gives those frames' canvas pixels (RGBA
    // from the lower left, base64) and the scene row after every step.
    replay(steps, drawn) {
        show(startScreen, false);
        show(canvas, true);
        sizeCanvas();
        const keep = new Set(drawn);
        const pictures = {};
        const rows = [];
        program._webHookStart(steps[0][0]);
        steps.forEach(([ms, position], i) => {
            program._webHookStep(position, keep.has(i) ? 1 : 0);
            program._webFrame(canvas.width, canvas.height, ms);
            rows.push(program._webSceneRow());
            if (keep.has(i)) pictures[i] = canvasPicture();
        });
        program._webHookStep(0, 1);
        return { width: canvas.width, height: canvas.height, pictures, rows };
    },
    // Every seek's frame and picture (canvas pixels as replay gives them),
    // the last first.
    seeks: [],
    noteSeek(target) {
        this.seeks.unshift({ frame: target, width: canvas.width, height: canvas.height, picture: canvasPicture() });
        this.seeks.length = Math.min(this.seeks.length, 4);
    },
    // The scene row the show is at (6 once it has quit).
    sceneRow: () => program._webSceneRow(),
    // Moves the playing song to order and row.
    seek: (order, row) => songPlayer.seek(order, row),
    musicPlaying: () => songPlayer.playing && !songPlayer.paused,
    // The newest song time the player has reported, in seconds.
    musicSeconds: () => songPlayer.reports.at(-1)?.seconds ?? null,
    // The song time of the first report heard after the last seek.
    musicLanding: () => songPlayer.seekLanding,
    clockMs,
    paused: () => paused,
    frame: currentFrame,
    sceneStarts: () => scenes.map((scene) => scene.frame),
    showFrames: () => showFrames,
    checkpointsBuilt: () => program._webCheckpointsBuilt() === 1,
    starts: () => starts,
    // A seek to frame, timed from the call to the picture drawn, in ms.
    timing: false,
    timedSeek(frame) {
        this.timing = true;
        const start = performance.now();
        seek(frame);
        program._webReadCanvas(1, 1);
        const ms = performance.now() - start;
        this.timing = false;
        return ms;
    },
    fps: () => fps,
    // Whether the show is shown through the reduced-flashing filter.
    reducedFlashing: () => reducedFlashing,
};
if (testing) window.boxdemoTest = testHook;
