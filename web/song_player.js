// The page's song player: plays the song with chiptune3 (libopenmpt compiled
// to WebAssembly, rendering in an AudioWorklet) and answers the music
// layer's questions (web/music.cpp reaches it as Module.songPlayer).
//
// The worklet reports the position of the audio it has just rendered, once
// per 128-frame block, to the page in bursts; the audio is heard one output
// latency later. heardPosition looks back over the reports by that latency.

// How long the worklet may take to start before the page gives up on it.
const workletStartLimitMs = 10000;
// How long after play() the audio may take to start, its first report; some
// browsers take about two seconds (Firefox opening its sound server).
const audioStartLimitMs = 6000;
// Song time of reports kept for looking back, in seconds.
const reportSpanSeconds = 1;

export class SongPlayer {
    // player: a chiptune3 ChiptuneJsPlayer made with repeatCount 0 (or any
    // object with its methods and handler calls); latency: the output
    // latency to assume, in seconds, where the audio context must not be
    // asked (undefined: ask it).
    constructor(player, latency = undefined) {
        this.assumedLatency = latency;
        this.ready = false; // the worklet takes messages (chiptune3 drops any sent before)
        this.song = null; // the loaded module's bytes
        this.loop = false;
        this.playing = false; // from play to stop, free or the song's end
        this.reports = []; // this play's recent reports: {seconds, position}
        this.silenceTimer = 0; // from play to the first report
        this.paused = false; // between pause and resume, within a play
        // A seek not yet reached: the song time asked for, in seconds, and
        // its position, heard in the meantime.
        this.target = null;
        this.targetPosition = 0;
        this.targetReachedAt = 0; // performance.now() when the target is rendered
        this.seekLanding = null; // the song time of the first report heard after a seek
        this.volume = 1;
        this.muted = false;
        this.checking = null; // the promise functions of check()
        this.onEnd = () => {};
        this.onFailure = () => {};
        this.onNoAudio = () => {};
        this.player = player;
        this.player.onProgress((report) => this.noteReport(report));
        this.player.onEnded(() => this.noteEnd());
        this.player.onError((error) => this.noteError(error.type));
        this.player.onMetadata(() => this.noteChecked());
    }

    // Resolves when the worklet has started.
    start() {
        return new Promise((resolve, reject) => {
            const timer = setTimeout(
                () => reject(new Error('its audio worklet did not start')),
                workletStartLimitMs,
            );
            this.player.onInitialized(() => {
                clearTimeout(timer);
                this.ready = true;
                resolve();
            });
        });
    }

    // Resolves when libopenmpt in the worklet has read bytes as a module,
    // rejects when it cannot. The trial is stopped at once; before the page
    // is clicked the browser keeps the audio suspended, so nothing is heard.
    check(bytes) {
        return new Promise((resolve, reject) => {
            this.checking = { resolve, reject };
            this.player.play(bytes.buffer);
        });
    }

    load(bytes, loop) {
        this.song = bytes;
        this.loop = loop;
    }

    // From the top: the browser allows the audio to start now, as the page
    // calls this from a click or a key.
    // When the audio has not started audioStartLimitMs later (the browser
    // keeps it suspended, with no sound device or server to play to), the
    // song stops and onNoAudio is called.
    play() {
        this.player.context.resume();
        this.player.setRepeatCount(this.loop ? -1 : 0);
        this.player.play(this.song.buffer);
        this.reports = [];
        this.playing = true;
        this.paused = false;
        this.target = null;
        this.applyVolume();
        clearTimeout(this.silenceTimer);
        this.silenceTimer = setTimeout(() => {
            this.stop();
            this.onNoAudio();
        }, audioStartLimitMs);
    }

    stop() {
        this.player.pause();
        this.playing = false;
        clearTimeout(this.silenceTimer);
    }

    free() {
        this.player.stop();
        this.playing = false;
        clearTimeout(this.silenceTimer);
        this.song = null;
        this.reports = [];
    }

    // Holds the song where it is, to go on from there at resume.
    pause() {
        if (!this.playing || this.paused) return;
        this.player.pause();
        this.paused = true;
        clearTimeout(this.silenceTimer);
    }

    resume() {
        if (!this.playing || !this.paused) return;
        this.player.unpause();
        this.paused = false;
    }

    // Moves the song to seconds, whose position is position (order | row <<
    // 16), heard until the song gets there. NOTE: libopenmpt moves only to
    // the start of a row (by time, to the nearest, which may lie after it):
    // the song is moved to the start of the row that holds the time, the
    // player renders on from there silently, and the sound comes on once the
    // song time is reached (targetReached says when).
    seekTo(seconds, position) {
        this.player.setOrderRow(position & 0xffff, position >>> 16);
        this.reports = [];
        this.target = seconds;
        this.targetPosition = position;
        this.targetReachedAt = 0;
        this.seekLanding = null;
        this.player.gain.gain.cancelScheduledValues(0);
        this.player.gain.gain.setValueAtTime(0, this.player.context.currentTime);
    }

    // Whether the song has reached the time of the last seek (true without one).
    targetReached() {
        return this.target === null || (this.targetReachedAt > 0 && performance.now() >= this.targetReachedAt);
    }

    // Volume 0..1, and muted or not.
    setVolume(volume, muted) {
        this.volume = volume;
        this.muted = muted;
        if (this.target === null || this.targetReachedAt > 0) this.applyVolume();
    }

    applyVolume(at = 0) {
        const gain = this.player.gain.gain;
        gain.cancelScheduledValues(0);
        gain.setValueAtTime(this.muted ? 0 : this.volume, at || this.player.context.currentTime);
    }

    // Moves the song to order and row (the tests' hook).
    seek(order, row) {
        this.player.setOrderRow(order, row);
        this.reports = [];
    }

    // The position being heard, order | row << 16: the last report rendered
    // at least one output latency of song time before the newest.
    heardPosition() {
        const reports = this.reports;
        if (reports.length === 0) return this.target === null ? 0 : this.targetPosition;
        const context = this.player.context;
        const latency = this.assumedLatency ?? (context.outputLatency || 0) + (context.baseLatency || 0);
        const heardBy = reports[reports.length - 1].seconds - latency;
        let heard = reports[0];
        for (const report of reports) {
            if (report.seconds > heardBy) break;
            heard = report;
        }
        return heard.position;
    }

    noteReport(report) {
        // NOTE: the worklet may still report a block or two it rendered
        // before the pause reached it; while paused the position holds where
        // the pause found it.
        if (!this.playing || this.paused) return;
        clearTimeout(this.silenceTimer);
        if (this.target !== null && this.targetReachedAt === 0) {
            // the first block after a seek: the sound comes on, and the
            // show's clock goes on, when the song time asked for is played
            const ahead = Math.max(0, this.target - report.pos);
            this.targetReachedAt = performance.now() + ahead * 1000;
            this.applyVolume(this.player.context.currentTime + ahead);
        }
        if (this.target !== null && report.pos < this.target) return;
        this.seekLanding ??= this.target === null ? null : report.pos;
        const reports = this.reports;
        const last = reports[reports.length - 1];
        // NOTE: a song played once reports order 0 after its last row, just
        // before it ends: that is not the song starting over.
        if (last && !this.loop && report.order < (last.position & 0xffff)) return;
        if (last && report.pos < last.seconds) reports.length = 0; // looped to the top
        reports.push({ seconds: report.pos, position: (report.order | (report.row << 16)) >>> 0 });
        while (reports[0].seconds < report.pos - reportSpanSeconds) reports.shift();
    }

    noteChecked() {
        if (!this.checking) return;
        this.player.stop();
        this.checking.resolve();
        this.checking = null;
    }

    // NOTE: the worklet says "end" on every block once the song has ended.
    noteEnd() {
        if (!this.playing) return;
        this.playing = false;
        this.onEnd();
    }

    noteError(type) {
        const why = type === 'ptr' || type === 'dur' ? 'is not a module the player can read' : `could not be played (${type})`;
        if (this.checking) {
            this.player.stop();
            this.checking.reject(new Error(why));
            this.checking = null;
        } else if (this.playing) {
            this.playing = false;
            this.onFailure(why);
        }
    }
}
