// A page designed through the canvas and the dialogs only (designer_roundtrip), then
// visited in Chromium: the click shows its picture in the frame, the pop-up menu opens
// on pointing, and the slideshow that the start-up entry starts moves on by itself.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { chmodSync, mkdirSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { browserMissing, launchBrowser, openPage, removeFolders } from '../../browser/chromium.mjs';

const program = process.env.LUMAVINE_ROUNDTRIP;
const skip = browserMissing() || (!program ? 'LUMAVINE_ROUNDTRIP is not set' : false);

let work;
let browser;
let made;
let design;

function areaMiddle(page, id) {
    return page.evaluate((id) => {
        const c = document.getElementById(id).coords.split(',').map(Number);
        return { x: (c[0] + c[2]) / 2, y: (c[1] + c[3]) / 2 };
    }, id);
}

function source(page, id) {
    return page.evaluate((id) => document.getElementById(id).getAttribute('src'), id);
}

describe('a page designed through the dialogs', { skip }, () => {
    before(async () => {
        work = mkdtempSync(join(tmpdir(), 'lumavine-roundtrip-'));
        const environment = { ...process.env, QT_QPA_PLATFORM: 'offscreen',
            LUMAVINE_REGISTRY: join(work, 'registry.xml') };
        if (!environment.XDG_RUNTIME_DIR) {
            environment.XDG_RUNTIME_DIR = join(work, 'runtime');
            mkdirSync(environment.XDG_RUNTIME_DIR);
            chmodSync(environment.XDG_RUNTIME_DIR, 0o700);
        }
        made = spawnSync(program, [work], { env: environment, encoding: 'utf8', timeout: 120000 });
        if (made.status === 0)
            design = JSON.parse(made.stdout.trim().split('\n').pop());
        browser = await launchBrowser({ width: 1000, height: 700 });
    });

    after(async () => {
        if (browser)
            await browser.close();
        removeFolders(work);
    });

    test('the designer made the page with its action, menu and slideshow', () => {
        assert.equal(made.status, 0, made.stderr);
        assert.ok(design.click.startsWith('files/'), JSON.stringify(design));
        assert.equal(design.menu, 2);
        assert.equal(design.slides.length, 2);
    });

    test('the slideshow runs, a click shows the picture, and the menu opens', async () => {
        const page = await openPage(browser.context, pathToFileURL(design.page).href);
        const image = design.frame + '-image';
        // The start-up entry starts the slideshow; it moves on a second later.
        await page.waitForFunction(([id, slides]) => slides.includes(document.getElementById(id).getAttribute('src')),
            [image, design.slides], { timeout: 10000 });
        const firstShown = await source(page, image);
        await page.waitForFunction(([id, shown]) => document.getElementById(id).getAttribute('src') !== shown,
            [image, firstShown], { timeout: 10000 });
        assert.ok(design.slides.includes(await source(page, image)));

        // Pointing at the rectangle opens its menu; clicking shows its picture.
        const middle = await areaMiddle(page, design.box);
        await page.mouse.move(middle.x, middle.y);
        await page.waitForFunction((id) => getComputedStyle(document.getElementById(id)).visibility === 'visible',
            design.box + '-menu-div', { timeout: 5000 });
        await page.mouse.click(middle.x, middle.y);
        await page.waitForFunction(([id, path]) => {
            const shown = document.getElementById(id);
            return shown.getAttribute('src') === path && shown.complete && shown.naturalWidth > 0;
        }, [image, design.click], { timeout: 10000 });
        assert.deepEqual(page.alerts, [], 'the runtime reported no failure');
        assert.deepEqual(page.errors, [], 'no script error');
        await page.close();
    });
});
