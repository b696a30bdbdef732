// Video and sound of generated pages in Chromium: ffmpeg makes short media,
// the media driver writes pages that play them, and each test works the
// pages by their areas as a visitor would, watching the media elements'
// events.
import { after, before, beforeEach, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { browserMissing, launchBrowser, openPage, removeFolders } from '../../browser/chromium.mjs';

const pageDriver = process.env.LUMAVINE_PAGE_DRIVER;
const driver = process.env.LUMAVINE_MEDIA_DRIVER
    || (pageDriver ? join(dirname(pageDriver), 'generate_media_driver') : null);

function ffmpegMissing() {
    try {
        execFileSync('ffmpeg', ['-version'], { stdio: 'ignore' });
        return false;
    } catch {
        return 'ffmpeg is not installed';
    }
}

const skip = browserMissing() || ffmpegMissing()
    || (!driver || !existsSync(driver) ? 'the media driver is not built (LUMAVINE_PAGE_DRIVER)' : false);

// Every media event of the page, with the element's id and the time, from
// before the page's own script runs. Media events do not bubble, but the
// document sees them on their way down.
function recordMediaEvents() {
    window.__media = [];
    for (const type of ['play', 'playing', 'pause', 'ended', 'loadstart', 'seeking', 'volumechange']) {
        document.addEventListener(type, (event) => {
            window.__media.push({ type, id: event.target.id, t: performance.now() });
        }, true);
    }
}

function makeMedia(files) {
    const ffmpeg = (...args) => execFileSync('ffmpeg', ['-hide_banner', '-loglevel', 'error', '-y', ...args]);
    const video = (seconds, name) => ffmpeg('-f', 'lavfi', '-i', `testsrc=size=160x120:rate=10:duration=${seconds}`,
        '-c:v', 'libvpx', '-b:v', '200k', join(files, name));
    const sound = (seconds, name) => ffmpeg('-f', 'lavfi', '-i', `sine=frequency=440:duration=${seconds}`,
        '-c:a', 'libvorbis', join(files, name));
    video(0.6, 'clip.webm');
    video(5, 'long.webm');
    sound(0.4, 'beep.ogg');
    sound(3, 'tone.ogg');
}

let site;
let browser;
// Console errors of every page, whichever browser it runs in.
const consoleErrors = [];

async function startBrowser(extraArgs = []) {
    const started = await launchBrowser({ width: 680, height: 400 }, extraArgs);
    await started.context.addInitScript(recordMediaEvents);
    started.context.on('console', (message) => {
        if (message.type() === 'error')
            consoleErrors.push(message.text());
    });
    return started;
}

function open(name, context = browser.context) {
    return openPage(context, pathToFileURL(join(site, 'content', name)).href);
}

async function clickArea(page, id) {
    const box = await page.evaluate((id) => {
        const c = document.getElementById(id).coords.split(',').map(Number);
        return { x: (c[0] + c[2]) / 2, y: (c[1] + c[3]) / 2 };
    }, id);
    await page.mouse.click(box.x, box.y);
}

function events(page, type, id) {
    return page.evaluate(([type, id]) => window.__media.filter((e) => e.type === type && e.id === id), [type, id]);
}

function player(page, id) {
    return page.evaluate((id) => {
        const element = document.getElementById(id);
        const div = element.parentNode;
        return {
            tag: element.tagName, parent: div.id, controls: element.controls,
            controlsList: element.getAttribute('controlslist') || '', paused: element.paused, muted: element.muted,
            playState: element.playState, hasSource: element.hasAttribute('src'), currentTime: element.currentTime,
            visibility: getComputedStyle(div).visibility, width: div.offsetWidth, height: div.offsetHeight,
        };
    }, id);
}

function videoDivHidden(page) {
    return page.waitForFunction(
        () => getComputedStyle(document.getElementById('screen-video-div')).visibility === 'hidden');
}

async function done(page) {
    assert.deepEqual(page.alerts, []);
    assert.deepEqual(page.errors, []);
    assert.deepEqual(consoleErrors, []);
    await page.close();
}

describe('video and sound of generated pages in Chromium', { skip }, () => {
    before(async () => {
        site = mkdtempSync(join(tmpdir(), 'lumavine-media-'));
        mkdirSync(join(site, 'content', 'files'), { recursive: true });
        makeMedia(join(site, 'content', 'files'));
        execFileSync(driver, [site], { stdio: 'pipe' });
        browser = await startBrowser();
    });

    after(async () => {
        if (browser)
            await browser.close();
        removeFolders(site);
    });

    beforeEach(() => {
        consoleErrors.length = 0;
    });

    test('a video plays its count of times in a video element sized by its ratio, then its frame clears', async () => {
        const page = await open('Media.html');
        await clickArea(page, 'twice');
        const shown = await player(page, 'screen-video');
        assert.equal(shown.tag, 'VIDEO');
        assert.equal(shown.parent, 'screen-video-div');
        assert.equal(shown.controls, true, '"full" shows the controls');
        assert.equal(shown.controlsList, '');
        assert.equal(shown.visibility, 'visible');
        // Half of the 320 by 240 frame, less its borders.
        assert.ok(shown.width >= 150 && shown.width <= 160 && shown.height >= 110 && shown.height <= 120,
            JSON.stringify(shown));

        await videoDivHidden(page);
        assert.equal((await events(page, 'ended', 'screen-video')).length, 2, 'played twice, then stopped');
        const cleared = await player(page, 'screen-video');
        assert.equal(cleared.paused, true);
        assert.equal(cleared.playState, 1);
        await done(page);
    });

    test('a play count of 0 loops until paused; playing it again resumes where it stood; clear_frame stops it',
        async () => {
            const page = await open('Media.html');
            await clickArea(page, 'forever');
            const shown = await player(page, 'screen-video');
            assert.equal(shown.controls, true);
            assert.match(shown.controlsList, /nofullscreen/, '"mini" shows fewer controls');
            assert.ok(shown.width >= 310 && shown.height >= 230, JSON.stringify(shown));
            await page.waitForFunction(
                () => window.__media.filter((e) => e.type === 'ended' && e.id === 'screen-video').length >= 3);
            assert.equal((await player(page, 'screen-video')).paused, false, 'still looping after three ends');

            await clickArea(page, 'pause');
            const paused = await player(page, 'screen-video');
            assert.equal(paused.paused, true);
            assert.equal(paused.playState, 2);
            const loads = (await events(page, 'loadstart', 'screen-video')).length;
            const plays = (await events(page, 'play', 'screen-video')).length;
            await clickArea(page, 'forever');
            await page.waitForFunction(
                (plays) => window.__media.filter((e) => e.type === 'play' && e.id === 'screen-video').length > plays,
                plays);
            assert.equal((await events(page, 'loadstart', 'screen-video')).length, loads, 'resumed, not loaded again');
            assert.equal((await player(page, 'screen-video')).visibility, 'visible');

            // Another video in the same frame, without controls; the frame's
            // clear action stops it.
            await clickArea(page, 'long');
            const long = await player(page, 'screen-video');
            assert.equal(long.controls, false, '"none" shows no controls');
            await page.waitForFunction(() => document.getElementById('screen-video').currentTime > 0.2);
            await clickArea(page, 'clear');
            const cleared = await player(page, 'screen-video');
            assert.equal(cleared.visibility, 'hidden');
            assert.equal(cleared.paused, true);
            await done(page);
        });

    test('the page sound plays its count of times in an audio element, and clear_audio silences it', async () => {
        const page = await open('Media.html');
        await clickArea(page, 'beep');
        assert.equal(await page.evaluate(() => document.querySelector('#page-audio-container > #page-audio-player').tagName),
            'AUDIO');
        await page.waitForFunction(
            () => window.__media.filter((e) => e.type === 'ended' && e.id === 'page-audio-player').length >= 2);
        const beeped = await player(page, 'page-audio-player');
        assert.equal(beeped.paused, true, 'no third round');
        assert.equal(beeped.playState, 1);

        await clickArea(page, 'tone');
        await page.waitForFunction(() => document.getElementById('page-audio-player').currentTime > 0.2);
        await clickArea(page, 'silence');
        const silent = await player(page, 'page-audio-player');
        assert.equal(silent.paused, true);
        assert.equal(silent.hasSource, false);
        await done(page);
    });

    test('a slideshow with a sound spreads the sound over its slides and ends with it', async () => {
        const page = await open('Show.html');
        await page.evaluate(() => {
            window.__slides = [];
            new MutationObserver((changes) => {
                for (const change of changes) {
                    const target = change.target;
                    if (target.id === 'stage-image' && change.attributeName === 'src')
                        window.__slides.push({ what: target.getAttribute('src'), t: performance.now() });
                    if (target.id === 'stage-image-div' && target.style.display === 'none')
                        window.__slides.push({ what: 'cleared', t: performance.now() });
                }
            }).observe(document.body, { attributes: true, subtree: true, attributeFilter: ['src', 'style'] });
        });
        await clickArea(page, 'start');
        await page.waitForFunction(() => window.__slides.some((s) => s.what === 'cleared'), null, { timeout: 15000 });
        const steps = await page.evaluate(() => window.__slides.filter((s, i, all) =>
            i === 0 || s.what !== all[i - 1].what));
        const shown = steps.map((s) => s.what);
        assert.deepEqual(shown.filter((what) => what !== 'cleared'), ['files/red.png', 'files/blue.png'],
            JSON.stringify(steps));
        const red = steps.find((s) => s.what === 'files/red.png').t;
        const blue = steps.find((s) => s.what === 'files/blue.png').t;
        const end = steps.findLast((s) => s.what === 'cleared').t;
        // The slide delay is half a second; the three-second sound over two
        // slides gives each about one and a half.
        assert.ok(blue - red >= 1200 && blue - red <= 2800, JSON.stringify(steps));
        assert.ok(end - blue >= 1100 && end - blue <= 2800, JSON.stringify(steps));
        const sound = await player(page, 'page-audio-player');
        assert.equal(sound.paused, true, 'the slideshow\'s end silences its sound');
        assert.ok((await events(page, 'play', 'page-audio-player')).length >= 1);
        await done(page);
    });

    test('where the browser refuses to start media unasked, video starts muted and sound waits for a click',
        async () => {
            const strict = await startBrowser(['--autoplay-policy=document-user-activation-required']);
            try {
                // Both start as the page loads, before the visitor has done anything.
                const page = await open('Start.html', strict.context);
                await page.waitForFunction(() => {
                    const video = document.getElementById('screen-video');
                    return video.muted && !video.paused;
                });
                await page.waitForFunction(() => document.getElementById('page-audio-player').readyState >= 1);
                assert.equal((await player(page, 'page-audio-player')).paused, true);

                // The page pauses the video meanwhile: the click gives it
                // its sound back but leaves it paused, and starts the sound.
                await page.evaluate(() => pause_video('screen'));
                await page.mouse.click(5, 390);
                await page.waitForFunction(() => {
                    const video = document.getElementById('screen-video');
                    const audio = document.getElementById('page-audio-player');
                    return !video.muted && !audio.paused;
                });
                assert.equal((await player(page, 'screen-video')).paused, true);
                await page.evaluate(() => play_video('screen', 'files/long.webm', 'full', 100, 1));
                await page.waitForFunction(() => {
                    const video = document.getElementById('screen-video');
                    return !video.muted && !video.paused;
                });
                await done(page);
            } finally {
                await strict.close();
            }
        });
});
