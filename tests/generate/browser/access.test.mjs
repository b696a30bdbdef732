// Pages that fit narrow windows, and pages used by keyboard, in Chromium. The
// access driver writes an 800 pixel wide page with and without the option to
// fit the window; each test opens it from file:// and works it as a visitor.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
import { browserMissing, launchBrowser, openPage, removeFolders } from '../../browser/chromium.mjs';

const driver = process.env.LUMAVINE_ACCESS_DRIVER;
const skip = browserMissing() || (!driver ? 'LUMAVINE_ACCESS_DRIVER is not set' : false);

const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

let site;
let browser;
// Console errors of every page, whichever test opened it.
const consoleErrors = [];

function pageUrl(name) {
    return pathToFileURL(join(site, 'content', name)).href;
}

async function open(name, width) {
    const page = await openPage(browser.context, pageUrl(name));
    await page.setViewportSize({ width, height: 600 });
    return page;
}

async function done(page) {
    assert.deepEqual(page.alerts, [], 'the runtime reported no failure');
    assert.deepEqual(page.errors, [], 'no script error');
    assert.deepEqual(consoleErrors, [], 'no console error');
    await page.close();
}

// Where an element is drawn in the window.
function drawn(page, id) {
    return page.evaluate((id) => {
        const r = document.getElementById(id).getBoundingClientRect();
        return { left: r.left, top: r.top, width: r.width, height: r.height };
    }, id);
}

function shownPicture(page, frame, file) {
    return page.waitForFunction(([frame, file]) => {
        const image = document.getElementById(frame + '-image');
        return image.getAttribute('src') === 'files/' + file && image.complete;
    }, [frame, file], { timeout: 5000 });
}

// The serious and critical findings of the accessibility audit.
async function audit(page) {
    await page.addScriptTag({ path: axeSource });
    const results = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
    return results.violations.filter((violation) => violation.impact === 'serious' || violation.impact === 'critical')
        .map((violation) => `${violation.impact} ${violation.id}: `
            + violation.nodes.map((node) => node.target.join(' ')).join(', '));
}

function near(actual, expected, what) {
    assert.ok(Math.abs(actual - expected) <= 2, `${what}: ${actual} is not about ${expected}`);
}

function focused(page) {
    return page.evaluate(() => {
        const element = document.activeElement;
        const style = getComputedStyle(element);
        const focus = { id: element.id, text: element.textContent.trim(), outline: style.outlineStyle,
            outlineWidth: parseFloat(style.outlineWidth) };
        if (element.tagName === 'AREA') {
            // The box drawn over the area, in page coordinates like the area's own.
            const box = document.getElementById('keyboard-focus');
            focus.box = box.style.display === 'block' ? [box.offsetLeft, box.offsetTop, box.offsetWidth,
                box.offsetHeight, parseFloat(getComputedStyle(box).borderTopWidth)] : 'hidden';
            const c = element.coords.split(',').map(Number);
            focus.area = [c[0], c[1], c[2] - c[0], c[3] - c[1]];
        }
        return focus;
    });
}

describe('pages for narrow windows and for the keyboard in Chromium', { skip }, () => {
    before(async () => {
        site = mkdtempSync(join(tmpdir(), 'lumavine-access-'));
        execFileSync(driver, [site], { stdio: 'pipe' });
        browser = await launchBrowser({ width: 1000, height: 600 });
        browser.context.on('console', (message) => {
            if (message.type() === 'error')
                consoleErrors.push(message.text());
        });
    });

    after(async () => {
        if (browser)
            await browser.close();
        removeFolders(site);
    });

    test('at three window widths the page fits the window and its scaled areas, frames and menus work', async () => {
        for (const width of [1000, 600, 400]) {
            const page = await open('Fitting.html', width);
            // The picture is as wide as the page's 800 pixels and the frame's border.
            const pageWidth = await page.evaluate(() => _imageWidth);
            assert.ok(pageWidth >= 800 && pageWidth < 820, pageWidth);
            const scale = Math.min(1, width / pageWidth);
            await page.waitForFunction((scale) => window._pageScale === scale, scale, { timeout: 5000 });
            const picture = await drawn(page, 'page_image');
            near(picture.width, pageWidth * scale, `picture width at ${width}`);
            const frame = await drawn(page, 'view');
            near(frame.left, 402 * scale, `frame left at ${width}`);
            near(frame.width, 357 * scale, `frame width at ${width}`);

            // The middle of the red button where the window shows it now.
            await page.mouse.click(100 * scale, 50 * scale);
            await shownPicture(page, 'view', 'red.png');
            const shown = await drawn(page, 'view-image-div');
            assert.ok(shown.left >= frame.left && shown.left + shown.width <= frame.left + frame.width + 1,
                JSON.stringify({ width, frame, shown }));

            await page.mouse.click(100 * scale, 120 * scale);
            assert.equal(await page.evaluate(() => document.getElementById('menu-menu-div').style.visibility),
                'visible', `the menu opens at ${width}`);
            const menu = await drawn(page, 'menu-menu-div');
            near(menu.left, 20 * scale, `menu left at ${width}`);
            near(menu.top, 140 * scale, `menu top at ${width}`);
            // The area the mouse focused shows no keyboard focus.
            assert.deepEqual(await page.evaluate(() => [document.activeElement.id,
                document.getElementById('keyboard-focus').style.display]), ['menu', 'none'],
            `no focus drawn after a click at ${width}`);
            await page.click('#menu-menu-div >> text=Blue');
            await shownPicture(page, 'view', 'blue.png');
            await done(page);
        }

        // A page without picture shrinks its shapes built of elements alike.
        const blocks = await open('Blocks.html', 400);
        const scale = 400 / await blocks.evaluate(() => _imageWidth);
        await blocks.waitForFunction((scale) => window._pageScale === scale, scale, { timeout: 5000 });
        near((await drawn(blocks, 'red')).width, 160 * scale, 'shape width without picture');
        await blocks.mouse.click(100 * scale, 50 * scale);
        await shownPicture(blocks, 'view', 'red.png');
        await blocks.focus('#menu');
        await blocks.keyboard.press('Enter');
        assert.equal((await focused(blocks)).text, 'Red', 'shapes built of elements open their menus by keyboard');
        await done(blocks);

        // Without the option the page keeps its size in a narrow window.
        const fixed = await open('Fixed.html', 400);
        near((await drawn(fixed, 'page_image')).width, await fixed.evaluate(() => _imageWidth),
            'picture width without the option');
        await fixed.mouse.click(100, 50);
        await shownPicture(fixed, 'view', 'red.png');
        await done(fixed);
    });

    test('the keyboard reaches and works the buttons, the menus and the frames, with a visible focus', async () => {
        const page = await open('Fitting.html', 1000);
        // Tab goes through the page up to the credit line.
        const reached = [];
        for (let i = 0; i < 10; ++i) {
            await page.keyboard.press('Tab');
            const now = await focused(page);
            if (now.text === 'Designed with Lumavine')
                break;
            reached.push(now.id);
            if (now.area) {
                const [left, top, width, height] = now.area;
                assert.deepEqual(now.box, [left - 3, top - 3, width + 6, height + 6, 3],
                    `a box around ${now.id} shows that it has the focus`);
                continue;
            }
            assert.notEqual(now.outline, 'none', `${now.id} shows that it has the focus`);
            assert.ok(now.outlineWidth >= 2, `${now.id} shows that it has the focus`);
        }
        for (const id of ['red', 'menu', 'flyover', 'view', 'slides'])
            assert.ok(reached.includes(id), `Tab reaches ${id}: ${reached.join()}`);

        await page.focus('#red');
        await page.keyboard.press('Enter');
        await shownPicture(page, 'view', 'red.png');
        assert.equal(await page.getAttribute('#view-image', 'alt'), 'Red', 'the picture is described by its caption');

        // Enter opens the menu and moves into it; the arrows walk its entries.
        await page.focus('#menu');
        await page.keyboard.press('Enter');
        assert.equal(await page.evaluate(() => document.getElementById('menu-menu-div').style.visibility), 'visible');
        assert.equal((await focused(page)).text, 'Red');
        const walked = [];
        for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'ArrowUp', 'ArrowUp']) {
            await page.keyboard.press(key);
            walked.push((await focused(page)).text);
        }
        assert.deepEqual(walked, ['Blue', 'Write', 'Red', 'Write', 'Blue'], 'the arrows walk round the entries');
        const entry = await focused(page);
        assert.notEqual(entry.outline, 'none');
        await page.keyboard.press('Enter');
        await shownPicture(page, 'view', 'blue.png');
        assert.equal(await page.evaluate(() => document.getElementById('menu-menu-div').style.visibility), 'hidden',
            'the entry closes its menu as a click does');
        assert.equal((await focused(page)).id, 'menu', 'the focus goes back to the shape');

        // Escape closes a menu and hands the focus back too.
        await page.keyboard.press(' ');
        assert.equal((await focused(page)).text, 'Red');
        await page.keyboard.press('Escape');
        assert.equal(await page.evaluate(() => document.getElementById('menu-menu-div').style.visibility), 'hidden');
        assert.equal((await focused(page)).id, 'menu');

        // A menu that opens on pointing opens on Enter and stays open.
        await page.focus('#flyover');
        await page.keyboard.press('Enter');
        assert.equal(await page.evaluate(() => document.getElementById('flyover-menu-div').style.visibility),
            'visible');
        assert.equal((await focused(page)).text, 'Red');
        // What a screen reader reads of the open menu holds together.
        assert.deepEqual(await audit(page), []);
        await page.keyboard.press('Enter');
        await shownPicture(page, 'view', 'red.png');

        // Frames are named for screen readers by their tooltip, or else by their name.
        assert.deepEqual(await page.evaluate(() => ['view', 'slides'].map((id) => [
            document.getElementById(id).getAttribute('aria-label'),
            document.getElementById(id + '-iframe').title])), [['view', 'view'], ['Slideshow', 'Slideshow']]);

        // The arrows step the slideshow of the frame that has the focus.
        await shownPicture(page, 'slides', 'red.png');
        await page.focus('#slides');
        await page.keyboard.press('ArrowRight');
        await shownPicture(page, 'slides', 'blue.png');
        await page.keyboard.press('ArrowLeft');
        await shownPicture(page, 'slides', 'red.png');
        await done(page);
    });
});
