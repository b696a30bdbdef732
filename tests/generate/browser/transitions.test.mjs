// Transitions in Chromium: every kind in every slot (pictures, pages, video,
// menus) on the pages the transition driver writes. The page's clock is
// Playwright's, so that each transition is photographed at its start, its
// middle and its end however slow the machine is.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { inflateSync } from 'node:zlib';
import { browserMissing, launchBrowser, removeFolders } from '../../browser/chromium.mjs';

const pageDriver = process.env.LUMAVINE_PAGE_DRIVER;
const driver = pageDriver ? join(dirname(pageDriver), 'generate_transition_driver') : null;
const shotDirectory = process.env.LUMAVINE_SCREENSHOTS;
const skip = browserMissing() || (!driver || !existsSync(driver) ? 'the transition driver is not built' : false);

const kinds = ['barn', 'blinds', 'checkerboard', 'fade', 'gradientwipe', 'inset', 'iris', 'pixelate', 'radialwipe',
    'randombars', 'randomdissolve', 'slide', 'spiral', 'stretch', 'strips', 'wheel', 'zigzag'];
// Kinds that uncover the new content where the old one was, without moving,
// scaling or blending either: half way, part of the picture is exactly the
// old one and part exactly the new one.
const uncovering = new Set(['barn', 'blinds', 'checkerboard', 'inset', 'iris', 'radialwipe', 'randombars',
    'randomdissolve', 'spiral', 'strips', 'wheel', 'zigzag']);
const frameClip = { x: 10, y: 10, width: 200, height: 150 };
const menuClip = { x: 228, y: 42, width: 180, height: 100 };

let site;
let browser;

// Screenshots as RGBA pixels: Chromium writes 8-bit RGB or RGBA PNG.
function decodePng(buffer) {
    let offset = 8;
    let width = 0;
    let height = 0;
    let channels = 0;
    const chunks = [];
    while (offset < buffer.length) {
        const length = buffer.readUInt32BE(offset);
        const type = buffer.toString('latin1', offset + 4, offset + 8);
        const body = buffer.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            assert.equal(body[8], 8, 'bit depth');
            channels = { 2: 3, 6: 4 }[body[9]];
            assert.ok(channels, 'colour type ' + body[9]);
        } else if (type === 'IDAT') {
            chunks.push(body);
        }
        offset += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(chunks));
    const stride = width * channels;
    const pixels = Buffer.alloc(width * height * 4);
    let previous = Buffer.alloc(stride);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
        for (let i = 0; i < stride; i++) {
            const a = i >= channels ? line[i - channels] : 0;
            const b = previous[i];
            const c = i >= channels ? previous[i - channels] : 0;
            let add = 0;
            if (filter === 1)
                add = a;
            else if (filter === 2)
                add = b;
            else if (filter === 3)
                add = (a + b) >> 1;
            else if (filter === 4) {
                const p = a + b - c;
                const pa = Math.abs(p - a);
                const pb = Math.abs(p - b);
                const pc = Math.abs(p - c);
                add = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            line[i] = (line[i] + add) & 0xff;
        }
        for (let x = 0; x < width; x++) {
            for (let k = 0; k < 3; k++)
                pixels[(y * width + x) * 4 + k] = line[x * channels + k];
            pixels[(y * width + x) * 4 + 3] = 255;
        }
        previous = line;
    }
    return { width, height, pixels };
}

function same(one, other, i) {
    for (let k = 0; k < 3; k++) {
        if (Math.abs(one.pixels[i * 4 + k] - other.pixels[i * 4 + k]) > 6)
            return false;
    }
    return true;
}

// The share of pixels of `shot` that match `one`.
function share(shot, one) {
    let count = 0;
    const total = shot.width * shot.height;
    for (let i = 0; i < total; i++) {
        if (same(shot, one, i))
            count++;
    }
    return count / total;
}

// Of the pixels the change alters, the shares where `shot` shows the old
// picture and where it shows the new one.
function split(shot, old, fresh) {
    let changed = 0;
    let asOld = 0;
    let asNew = 0;
    for (let i = 0; i < shot.width * shot.height; i++) {
        if (same(old, fresh, i))
            continue;
        changed++;
        if (same(shot, old, i))
            asOld++;
        else if (same(shot, fresh, i))
            asNew++;
    }
    return { old: asOld / changed, new: asNew / changed };
}

async function shoot(page, clip, name) {
    const png = await page.screenshot({ clip });
    if (shotDirectory)
        writeFileSync(join(shotDirectory, name + '.png'), png);
    return decodePng(png);
}

// The page's time moves only when the test says.
async function pausedClock(page) {
    await page.clock.install();
    await page.clock.pauseAt(Date.now() + 1000);
}

// The clock's script goes into every frame, also into the copy of a page a
// transition lays under the new one, where scripts are blocked on purpose.
function sandboxedClock(text) {
    return /^Blocked script execution in '[^']*' because the document's frame is sandboxed/.test(text);
}

async function open(kind) {
    const page = await browser.context.newPage();
    page.problems = [];
    page.on('dialog', async (dialog) => {
        page.problems.push('alert: ' + dialog.message());
        await dialog.dismiss();
    });
    page.on('pageerror', (error) => page.problems.push('page error: ' + error.message));
    page.on('console', (message) => {
        if (message.type() === 'error' && !sandboxedClock(message.text()))
            page.problems.push('console: ' + message.text());
    });
    await pausedClock(page);
    await page.goto(pathToFileURL(join(site, 'content', kind + '.html')).href);
    await page.waitForFunction(() => window.page_loaded === true, null, { polling: 20 });
    return page;
}

// Runs the page's clock in small steps until the page says so.
async function runUntil(page, condition, arg, what) {
    // Steps of a millisecond, so that a transition is seen at its very start;
    // loading and decoding take real time, which a busy machine stretches.
    // The page time covers the runtime's own three seconds of waiting for a
    // frame's page before an effect starts anyway, with the step after it.
    const since = Date.now();
    for (let i = 0; i < 4000 || Date.now() - since < 20000; i++) {
        if (await page.evaluate(condition, arg))
            return;
        await page.clock.runFor(1);
    }
    if (await page.evaluate(condition, arg))
        return;
    assert.fail('waited in vain for ' + what);
}

// What each slot does to the page: a change made first without a transition
// (the starting picture), the change the transition plays, and the element
// the transition runs on.
const slots = [
    {
        name: 'pictures', clip: frameClip, element: 'view',
        setup: () => show_picture('view', 'files/red.png', null, null, null, null, 100, false),
        change: () => show_picture('view', 'files/blue.png', null, null, null, null, 100, false),
        loaded: () => document.getElementById('view-image').complete,
    },
    {
        name: 'pages', clip: frameClip, element: 'view',
        setup: () => show_page('view', 'yellow.html', null, 100),
        change: () => show_page('view', 'green.html', null, 100),
        loaded: () => window._innerLoaded === true,
    },
    {
        name: 'video', clip: frameClip, element: 'view',
        setup: () => show_picture('view', 'files/red.png', null, null, null, null, 100, false),
        change: () => play_video('view', 'files/clip.webm', 'none', 100, 1),
        loaded: () => true,
        // A busy machine decodes the clip's first frame late; the end and
        // the target are compared once it shows (or the clip cannot play).
        ready: () => {
            const video = document.getElementById('view-video');
            return video == null || video.error != null || video.readyState >= 2;
        },
    },
    {
        name: 'menus', clip: menuClip, element: 'open-menu-div',
        setup: () => clear_menus(true),
        change: () => show_menu('open', 'align-bottom', 0),
        loaded: () => true,
    },
];

// Plays one slot's change with the page's transition and photographs it.
async function play(page, slot, index, label) {
    // Each change first clears the frame's page, which passes through a
    // blank page of its own.
    const run = async (fn) => page.evaluate(`window._innerLoaded = false; (${fn.toString()})()`);
    await page.evaluate(() => {
        const frame = document.getElementById('view-iframe');
        if (frame._loadSeen)
            return;
        frame._loadSeen = true;
        frame.addEventListener('load', () => {
            if (frame.contentDocument != null && frame.contentDocument.URL === 'about:blank')
                return;
            window._innerLoaded = true;
        });
    });
    await page.evaluate(() => { window._saved = transitions.slice(); transitions = ['', '', '', '']; });
    await run(slot.setup);
    await runUntil(page, `(${slot.loaded.toString()})()`, null, label + ' setup');
    await page.evaluate(() => { transitions = window._saved; });
    const before = await shoot(page, slot.clip, label + '-before');

    await run(slot.change);
    const element = slot.element;
    try {
        await runUntil(page, (id) => {
            const effect = document.getElementById(id)._effect;
            return effect != null && effect.started;
        }, element, label + ' start');
    } catch (error) {
        // Say where the page stands, so that a failure here can be followed.
        const state = await page.evaluate((id) => {
            const effect = document.getElementById(id)._effect;
            const frame = document.getElementById(id + '-iframe');
            return JSON.stringify({
                effect: effect == null ? null : { kind: effect.kind, started: effect.started, done: effect.done },
                frame: frame == null ? null : { src: frame.src, display: frame.style.display },
                innerLoaded: window._innerLoaded,
                now: Date.now(),
            });
        }, element);
        error.message += ' (' + state + ')';
        throw error;
    }
    const start = await shoot(page, slot.clip, label + '-start');
    const duration = await page.evaluate((index) => durations[index], index);
    assert.equal(duration, 2, label);
    await page.clock.runFor(1000);
    const middle = await shoot(page, slot.clip, label + '-middle');
    await page.clock.runFor(1100);
    await runUntil(page, (id) => document.getElementById(id)._effect == null, element, label + ' end');
    if (slot.ready)
        await runUntil(page, `(${slot.ready.toString()})()`, null, label + ' end frame');
    const end = await shoot(page, slot.clip, label + '-end');

    // The same change without a transition.
    await page.evaluate((index) => { transitions[index] = ''; }, index);
    if (slot.name === 'menus')
        await page.evaluate(() => clear_menus(true));
    await run(slot.change);
    await runUntil(page, `(${slot.loaded.toString()})()`, null, label + ' target');
    if (slot.ready)
        await runUntil(page, `(${slot.ready.toString()})()`, null, label + ' target frame');
    const target = await shoot(page, slot.clip, label + '-target');
    await page.evaluate(() => { transitions = window._saved.slice(); });
    return { before, start, middle, end, target };
}

describe('transitions in Chromium', { skip }, () => {
    before(async () => {
        site = mkdtempSync(join(tmpdir(), 'lumavine-transitions-'));
        execFileSync(driver, [site], { stdio: 'pipe' });
        // A second of one colour for the video slot, where Debian's ffmpeg
        // is there to make it.
        try {
            execFileSync('ffmpeg', ['-v', 'error', '-y', '-f', 'lavfi', '-i', 'color=c=0x20a0a0:s=160x120:d=1:r=10',
                '-c:v', 'libvpx', '-b:v', '100k', join(site, 'content', 'files', 'clip.webm')], { stdio: 'pipe' });
        } catch {
            // Without it the player is given a name it does not find.
        }
        browser = await launchBrowser({ width: 420, height: 260 });
    });

    after(async () => {
        if (browser)
            await browser.close();
        removeFolders(site);
    });

    test('the transition dialog\'s preview page plays its effect between its two pictures', async () => {
        const page = await browser.context.newPage();
        const problems = [];
        page.on('pageerror', (error) => problems.push(error.message));
        page.on('console', (message) => {
            if (message.type() === 'error')
                problems.push(message.text());
        });
        await page.setViewportSize({ width: 480, height: 380 });
        await pausedClock(page);
        await page.goto(pathToFileURL(join(site, 'preview', 'transition.html')).href);
        const clip = await page.evaluate(() => {
            const box = document.getElementById('container').getBoundingClientRect();
            return { x: box.left, y: box.top, width: box.width, height: box.height };
        });
        await runUntil(page, () => {
            const effect = document.getElementById('container')._effect;
            return effect != null && effect.started;
        }, null, 'the preview\'s effect');
        const start = await shoot(page, clip, 'preview-start');
        await page.clock.runFor(1000);
        const middle = await shoot(page, clip, 'preview-middle');
        await page.clock.runFor(1100);
        await runUntil(page, () => document.getElementById('container')._effect == null, null, 'the end');
        const end = await shoot(page, clip, 'preview-end');
        assert.ok(share(end, start) < 0.5, 'the preview changes its picture');
        const half = split(middle, start, end);
        assert.ok(half.old > 0.1 && half.new > 0.1, `half way the iris shows both pictures: ${JSON.stringify(half)}`);
        // The circle opens from the middle: the centre is new, a corner old.
        const at = (shot, x, y) => Array.from(shot.pixels.subarray((y * shot.width + x) * 4, (y * shot.width + x) * 4 + 3));
        const centre = [Math.floor(middle.width / 2), Math.floor(middle.height / 2)];
        assert.deepEqual(at(middle, ...centre), at(end, ...centre));
        assert.deepEqual(at(middle, 3, 3), at(start, 3, 3));
        assert.deepEqual(problems, []);
        await page.close();
    });

    test('parameters steer where the new picture shows half way, and a clearing transition starts from the empty frame', async () => {
        const page = await open('barn');
        const slot = slots[0];
        // Points of the frame (as fractions of its size) expected to show
        // the old or the new picture half way through.
        const variants = [
            ["barn(motion='out',orientation='vertical')", { old: [[0.05, 0.5], [0.95, 0.5]], new: [[0.5, 0.5], [0.5, 0.05]] }],
            ["barn(motion='in',orientation='horizontal')", { old: [[0.5, 0.5]], new: [[0.5, 0.05], [0.5, 0.95]] }],
            ["iris(irisstyle='circle',motion='out')", { old: [[0.03, 0.03], [0.97, 0.97]], new: [[0.5, 0.5]] }],
            ["iris(irisstyle='square',motion='in')", { old: [[0.5, 0.5]], new: [[0.03, 0.5], [0.5, 0.97]] }],
            ["radialwipe(wipestyle='clock')", { old: [[0.25, 0.5]], new: [[0.75, 0.5]] }],
            ["gradientwipe(gradientsize='0.0',wipestyle='0',motion='forward')", { old: [[0.9, 0.5]], new: [[0.1, 0.5]] }],
            ["gradientwipe(gradientsize='0.0',wipestyle='1',motion='reverse')", { old: [[0.5, 0.1]], new: [[0.5, 0.9]] }],
            ["blinds(bands='2',direction='down')", { old: [[0.5, 0.4], [0.5, 0.9]], new: [[0.5, 0.1], [0.5, 0.6]] }],
            ["strips(motion='rightdown')", { old: [[0.95, 0.95]], new: [[0.05, 0.05]] }],
            ["stretch(stretchstyle='push')", { old: [[0.97, 0.5]], new: [[0.03, 0.5]] }],
            ["inset()", { old: [[0.9, 0.9]], new: [[0.1, 0.1]] }],
            ["slide(slidestyle='push',bands='1')", { old: [[0.1, 0.5]], new: [[0.9, 0.5]] }],
            ["slide(slidestyle='hide',bands='2')", { old: [[0.1, 0.25], [0.9, 0.75]], new: [[0.9, 0.25], [0.1, 0.75]] }],
        ];
        const at = (shot, point) => {
            const x = Math.min(shot.width - 1, Math.floor(point[0] * shot.width));
            const y = Math.min(shot.height - 1, Math.floor(point[1] * shot.height));
            return y * shot.width + x;
        };
        for (const [filter, expected] of variants) {
            await page.evaluate((filter) => { transitions[0] = filter; clears[0] = false; }, filter);
            const shots = await play(page, slot, 0, 'variant-' + filter.replace(/\W+/g, '-'));
            // The old picture is red, the new one blue, also where either
            // is moved or squeezed.
            const colour = (point) => {
                const i = at(shots.middle, point) * 4;
                const [r, b] = [shots.middle.pixels[i], shots.middle.pixels[i + 2]];
                return r > b + 60 ? 'red' : b > r + 60 ? 'blue' : 'neither';
            };
            for (const point of expected.old)
                assert.equal(colour(point), 'red', `${filter}: old at ${point}`);
            for (const point of expected.new)
                assert.equal(colour(point), 'blue', `${filter}: new at ${point}`);
        }

        // Cleared first: the transition starts from the empty frame.
        await page.evaluate(() => { transitions = ['', '', '', '']; clear_frame('view'); });
        const empty = await shoot(page, frameClip, 'variant-empty');
        await page.evaluate(() => { transitions[0] = "fade(overlap='1.0')"; clears[0] = true; });
        const cleared = await play(page, slot, 0, 'variant-cleared');
        assert.ok(share(cleared.start, empty) > 0.97, 'a clearing transition starts from the empty frame');
        assert.ok(share(cleared.before, empty) < 0.5);
        assert.ok(share(cleared.end, cleared.target) > 0.99);
        assert.deepEqual(page.problems, []);
        await page.close();
    });

    test('a change made while a transition runs starts the next one from there and leaves no copies behind', async () => {
        const page = await open('checkerboard');
        const count = () => page.evaluate(() => document.getElementById('view').parentNode.childNodes.length);
        const children = await count();
        await page.evaluate(() => show_picture('view', 'files/red.png', null, null, null, null, 100, false));
        await runUntil(page, () => document.getElementById('view')._effect?.started, null, 'the first');
        await page.clock.runFor(500);
        await page.evaluate(() => show_picture('view', 'files/blue.png', null, null, null, null, 100, false));
        assert.equal(await count(), children + 1, 'one copy: the first transition\'s is gone');
        await runUntil(page, () => document.getElementById('view')._effect?.started, null, 'the second');
        await page.clock.runFor(2100);
        await runUntil(page, () => document.getElementById('view')._effect == null, null, 'the end');
        assert.equal(await count(), children);
        const end = await shoot(page, frameClip, 'overlap-end');
        await page.evaluate(() => { transitions[0] = ''; show_picture('view', 'files/blue.png', null, null, null, null, 100, false); });
        await runUntil(page, () => document.getElementById('view-image').complete, null, 'the target');
        assert.ok(share(end, await shoot(page, frameClip, 'overlap-target')) > 0.99);
        assert.deepEqual(page.problems, []);
        await page.close();
    });

    for (const kind of kinds) {
        test(`${kind} starts from the old picture, is half way in the middle and ends on the new one`, async () => {
            let page = await open(kind);
            const problems = [];
            for (let index = 0; index < slots.length; index++) {
                const slot = slots[index];
                const label = `${kind}-${slot.name}`;
                // A screenshot takes real time while the page's clock is
                // held, and a busy machine may show a video's frame late:
                // one look can come late. A fault in the effect shows on
                // the second play too.
                for (let attempt = 1; ; attempt++) {
                    try {
                        const shots = await play(page, slot, index, label);
                        assert.ok(share(shots.before, shots.target) < 0.9, label + ': the change shows at all');
                        // The first frame may already be a few milliseconds in.
                        assert.ok(share(shots.start, shots.before) > 0.97, label + ': the start is the old picture');
                        assert.ok(share(shots.end, shots.target) > 0.99, label + ': the end is the new picture');
                        const middle = split(shots.middle, shots.before, shots.target);
                        const text = `${label}: half way ${middle.old} old, ${middle.new} new`;
                        assert.ok(middle.old < 0.95, text + ', not the old picture');
                        assert.ok(middle.new < 0.95, text + ', not the new picture');
                        if (uncovering.has(kind))
                            assert.ok(middle.old > 0.15 && middle.new > 0.15, text + ', part of each');
                        break;
                    } catch (error) {
                        if (attempt >= 2 || !(error instanceof assert.AssertionError))
                            throw error;
                        // The second play starts on a fresh page, so that
                        // nothing the first left behind decides it.
                        console.log(`# ${label}: played again after: ${error.message}`);
                        problems.push(...page.problems);
                        await page.close();
                        page = await open(kind);
                    }
                }
            }
            assert.deepEqual([...problems, ...page.problems], []);
            await page.close();
        });
    }
});
