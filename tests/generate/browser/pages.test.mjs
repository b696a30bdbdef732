// Generated pages in Chromium: the page driver writes a small site, and each
// test opens one of its pages from file:// and works it as a visitor would.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { browserMissing, launchBrowser, openPage, removeFolders } from '../../browser/chromium.mjs';

const driver = process.env.LUMAVINE_PAGE_DRIVER;
const shotDirectory = process.env.LUMAVINE_SCREENSHOTS;
const skip = browserMissing() || (!driver ? 'LUMAVINE_PAGE_DRIVER is not set' : false);

let site;
let browser;
// The mailto addresses any page asked for, in order.
const mailRequests = [];

function pageUrl(name) {
    return pathToFileURL(join(site, 'content', name)).href;
}

function open(name) {
    return openPage(browser.context, pageUrl(name));
}

async function shoot(page, name) {
    if (shotDirectory)
        await page.screenshot({ path: join(shotDirectory, name + '.png') });
}

async function visibility(page, id) {
    return page.evaluate((id) => getComputedStyle(document.getElementById(id)).visibility, id);
}

async function clickArea(page, id) {
    // Areas of an image map have no box of their own: the click goes to the
    // page picture at a point inside the area.
    const box = await page.evaluate((id) => {
        const c = document.getElementById(id).coords.split(',').map(Number);
        return { x: (c[0] + c[2]) / 2, y: (c[1] + c[3]) / 2 };
    }, id);
    await page.mouse.click(box.x, box.y);
}

describe('generated pages in Chromium', { skip }, () => {
    before(async () => {
        site = mkdtempSync(join(tmpdir(), 'lumavine-site-'));
        execFileSync(driver, [site], { stdio: 'pipe' });
        browser = await launchBrowser({ width: 640, height: 400 });
        browser.context.on('request', (request) => {
            if (request.url().startsWith('mailto:'))
                mailRequests.push(request.url());
        });
    });

    after(async () => {
        if (browser)
            await browser.close();
        removeFolders(site);
    });

    test('pages are pure ASCII, so texts beyond it read the same in any encoding a browser assumes', () => {
        const pages = readdirSync(join(site, 'content')).filter((name) => name.endsWith('.html'));
        assert.ok(pages.length >= 2, pages.join());
        for (const name of pages) {
            const bytes = readFileSync(join(site, 'content', name));
            assert.equal(bytes.findIndex((byte) => byte > 0x7f), -1, name);
        }
    });

    test('an initialization entry runs at load and a picture action shows its picture with its caption', async () => {
        const page = await open('Actions.html');
        const picture = await page.evaluate(() => {
            const image = document.getElementById('page_image');
            return { width: image.style.width, natural: image.naturalWidth + 'px' };
        });
        assert.equal(picture.width, picture.natural, 'initialize() gives the page picture its real size');
        // The start-up entry shows the tall blue picture at half size, kept in proportion.
        await page.waitForFunction(() => document.getElementById('view-image').complete
            && document.getElementById('view-image').src.endsWith('files/blue.png'));
        const start = await page.evaluate(() => {
            const div = document.getElementById('view-image-div');
            return { display: div.style.display, caption: document.getElementById('view-caption-cell').textContent };
        });
        assert.deepEqual(start, { display: 'block', caption: 'At start: caf\u00e9 \u2615' });

        await clickArea(page, 'show-red');
        await page.waitForFunction(() => document.getElementById('view-image').src.endsWith('files/red.png'));
        const shown = await page.evaluate(() => {
            const div = document.getElementById('view-image-div');
            const image = document.getElementById('view-image');
            return {
                display: div.style.display,
                left: div.offsetLeft, top: div.offsetTop, width: div.offsetWidth, height: div.offsetHeight,
                caption: document.getElementById('view-caption-cell').textContent,
                captionShown: document.getElementById('view-caption').style.display,
                imageHeight: image.style.height,
                natural: _rectangles['files/red.png'] ? _rectangles['files/red.png'].getWidth() : null,
            };
        });
        assert.equal(shown.display, 'block');
        assert.equal(shown.caption, 'Red & \u2019ready\u2019', 'character references in captions still work');
        assert.equal(shown.captionShown, 'block');
        assert.equal(shown.imageHeight, '90%');
        assert.equal(shown.natural, 160, 'the preloaded picture recorded its natural size');
        // Frame 320 by 240 less border: the wide picture fills the width and keeps 2:1.
        assert.ok(Math.abs(shown.width - shown.height * 2) <= 6, JSON.stringify(shown));
        assert.ok(shown.width >= 300 && shown.width <= 320, JSON.stringify(shown));
        assert.equal(await page.getAttribute('#show-red', 'title'), 'Shows "red" \u2014 rouge');
        await shoot(page, 'picture-in-frame');
        assert.deepEqual(page.alerts, []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('a page action loads the page into the frame and clear_frame empties it', async () => {
        const page = await open('Actions.html');
        await clickArea(page, 'show-inner');
        const frame = page.frameLocator('#view-iframe');
        await frame.locator('#inner').waitFor();
        const placed = await page.evaluate(() => {
            const iframe = document.getElementById('view-iframe');
            return { display: iframe.style.display, width: iframe.offsetWidth, height: iframe.offsetHeight,
                left: iframe.offsetLeft, pictures: document.getElementById('view-image-div').style.display };
        });
        assert.equal(placed.display, 'block');
        assert.equal(placed.pictures, 'none', 'showing a page hides the picture shown before');
        // 80 percent of the frame, centred, less twice the page's frame border.
        assert.ok(Math.abs(placed.width - 253) <= 3 && Math.abs(placed.height - 189) <= 3, JSON.stringify(placed));
        assert.ok(placed.left > 20 && placed.left < 40, JSON.stringify(placed));
        await shoot(page, 'page-in-frame');

        await clickArea(page, 'clear');
        assert.equal(await page.evaluate(() => document.getElementById('view-iframe').style.display), 'none');
        assert.deepEqual(page.alerts, []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('menus open and close by their behaviour, and Escape closes them all', async () => {
        const page = await open('Actions.html');
        // Flyover: opens on pointing, closes at the next click anywhere.
        await page.mouse.move(70, 315);
        assert.equal(await visibility(page, 'flyover-menu-div'), 'visible');
        const placed = await page.evaluate(() => {
            const div = document.getElementById('flyover-menu-div');
            return { left: div.offsetLeft, top: div.offsetTop };
        });
        assert.deepEqual(placed, { left: 20, top: 330 }, 'a bottom menu sits under its node');
        await shoot(page, 'flyover-menu');
        await page.mouse.click(600, 20);
        assert.equal(await visibility(page, 'flyover-menu-div'), 'hidden');

        // Click menu: opens on a click on its node, closes at the click after that.
        await clickArea(page, 'click');
        assert.equal(await visibility(page, 'click-menu-div'), 'visible');
        await page.mouse.click(600, 20);
        assert.equal(await visibility(page, 'click-menu-div'), 'hidden');

        // An entry of a click menu runs its action.
        await clickArea(page, 'click');
        await page.click('#click-table td >> text=Red');
        await page.waitForFunction(() => document.getElementById('view-image').src.endsWith('files/red.png'));

        // Static: stays through clicks elsewhere, closes by its close cell.
        await clickArea(page, 'static');
        await page.mouse.click(600, 20);
        assert.equal(await visibility(page, 'static-menu-div'), 'visible');
        const right = await page.evaluate(() => document.getElementById('static-menu-div').offsetLeft);
        assert.equal(right, 360, 'a right menu starts at its node\'s right edge');
        await shoot(page, 'static-menu');
        await page.click('#static-menu-div td[id^="close-"]');
        assert.equal(await visibility(page, 'static-menu-div'), 'hidden');

        // A node named with a blank, as new shapes are, has its menu styled all the same.
        assert.equal(await visibility(page, 'Round Rectangle_1-menu-div'), 'hidden');
        await clickArea(page, 'Round Rectangle_1');
        assert.equal(await visibility(page, 'Round Rectangle_1-menu-div'), 'visible');
        const named = await page.evaluate(() => {
            const div = document.getElementById('Round Rectangle_1-menu-div');
            return { left: div.offsetLeft, top: div.offsetTop, position: getComputedStyle(div).position };
        });
        assert.deepEqual(named, { left: 480, top: 330, position: 'absolute' });
        await page.mouse.click(600, 20);
        assert.equal(await visibility(page, 'Round Rectangle_1-menu-div'), 'hidden');

        // Quotes and an ampersand in a name: the menu opens, and its close cell closes it.
        const quoted = 'Ann\'s "menu" & more';
        await clickArea(page, quoted);
        assert.equal(await visibility(page, quoted + '-menu-div'), 'visible');
        const close = await page.evaluate((name) => {
            const cell = document.getElementById(name + '-menu-div').querySelector('td[id^="close-"]');
            const r = cell.getBoundingClientRect();
            return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
        }, quoted);
        await page.mouse.click(close.x, close.y);
        assert.equal(await visibility(page, quoted + '-menu-div'), 'hidden');

        // Escape closes every menu, static ones included.
        await clickArea(page, 'static');
        await page.mouse.move(70, 315);
        await page.keyboard.press('Escape');
        assert.equal(await visibility(page, 'static-menu-div'), 'hidden');
        assert.equal(await visibility(page, 'flyover-menu-div'), 'hidden');
        assert.deepEqual(page.alerts, []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('a mail area links to its address, with an ampersand of the subject kept in the subject', async () => {
        const page = await open('Actions.html');
        const href = await page.getAttribute('#mail', 'href');
        assert.equal(href, 'mailto:ann@example.org?subject=Hello %26 welcome');
        assert.equal(new URL(href).searchParams.get('subject'), 'Hello & welcome');
        await page.close();
    });

    test('a timed repeating slideshow advances by itself and a manual one only by next_slide', async () => {
        const page = await open('Slides.html');
        const shown = (frame) => page.evaluate((frame) => {
            const image = document.getElementById(frame + '-image');
            return image.getAttribute('src');
        }, frame);
        await page.waitForFunction(() => document.getElementById('show-image').getAttribute('src') === 'files/red.png');
        assert.equal(await shown('manual'), 'files/red.png');
        await shoot(page, 'slideshow');
        // One second per slide: blue follows red, then red again.
        await page.waitForFunction(() => document.getElementById('show-image').getAttribute('src') === 'files/blue.png',
            null, { timeout: 10000 });
        await page.waitForFunction(() => document.getElementById('show-image').getAttribute('src') === 'files/red.png',
            null, { timeout: 10000 });
        assert.equal(await shown('manual'), 'files/red.png', 'a manual slideshow waits');
        assert.equal(await page.evaluate(() => document.getElementById('show-caption-cell').textContent), 'Slide one');

        assert.equal((await page.textContent('#next td')).trim(), 'Next \u25b6');
        await page.click('#next td');
        assert.equal(await shown('manual'), 'files/blue.png');
        // Past the last slide a slideshow that does not repeat ends and empties its frame.
        await page.click('#next td');
        assert.equal(await page.evaluate(() => document.getElementById('manual-image-div').style.display), 'none');
        assert.equal(await page.evaluate(() => document.getElementById('manual')._slideshow), null);
        assert.deepEqual(page.alerts, []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    // Mail opens a mailto address, which the browser hands to the system:
    // the attempt shows as a request for that address.
    async function centreOf(page, id) {
        return page.evaluate((id) => {
            const r = document.getElementById(id).getBoundingClientRect();
            return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
        }, id);
    }

    async function clickCentre(page, id) {
        const centre = await centreOf(page, id);
        await page.mouse.click(centre.x, centre.y);
    }

    async function mailAttempted(prefix) {
        const deadline = Date.now() + 5000;
        while (Date.now() < deadline) {
            const found = mailRequests.find((url) => url.startsWith(prefix));
            if (found)
                return found;
            await new Promise((resolve) => setTimeout(resolve, 50));
        }
        assert.fail('no mail to ' + prefix + ' among ' + JSON.stringify(mailRequests));
    }

    test('without a page picture, hyperlinks and mail links take clicks on the whole shape', async () => {
        const page = await open('Links.html');
        await shoot(page, 'no-picture-links');
        // The caption table covers the picture: the point still reaches the link.
        const onPicture = await page.evaluate((id) => {
            const r = document.getElementById(id).getBoundingClientRect();
            const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
            return hit.closest('a') ? hit.closest('a').getAttribute('href') : null;
        }, 'picture-mail');
        assert.equal(onPicture, 'mailto:ann@example.org?subject=Picture');

        await Promise.all([page.waitForURL(/inner\.html$/), clickCentre(page, 'to-inner')]);
        await page.locator('#inner').waitFor();
        await page.goBack();
        await page.waitForFunction(() => window.page_loaded === true);
        await Promise.all([page.waitForURL(/inner\.html$/), clickCentre(page, 'picture-link')]);
        assert.deepEqual(page.alerts, []);
        assert.deepEqual(page.errors, []);
        await page.close();

        const mailing = await open('Links.html');
        mailRequests.length = 0;
        await clickCentre(mailing, 'write');
        assert.match(await mailAttempted('mailto:ann@example.org'), /^mailto:ann@example\.org\?subject=Hello/);
        await clickCentre(mailing, 'picture-mail');
        await mailAttempted('mailto:ann@example.org?subject=Picture');
        assert.equal(mailing.url(), pageUrl('Links.html'), 'mail leaves the page where it is');
        assert.deepEqual(mailing.errors, []);
        await mailing.close();
    });

    test('mail actions run on mouse up, over and out', async () => {
        const page = await open('Links.html');
        mailRequests.length = 0;
        await clickCentre(page, 'up');
        assert.equal(await mailAttempted('mailto:'), 'mailto:ann@example.org?subject=up%20%26%20away',
            'the subject is encoded, "&" and all');
        mailRequests.length = 0;
        const over = await centreOf(page, 'over');
        await page.mouse.move(over.x, over.y);
        assert.equal(await mailAttempted('mailto:'), 'mailto:ann@example.org?subject=over%20%26%20away');
        mailRequests.length = 0;
        const out = await centreOf(page, 'out');
        await page.mouse.move(out.x, out.y);
        await page.mouse.move(out.x, out.y + 100);
        assert.equal(await mailAttempted('mailto:'), 'mailto:ann@example.org?subject=out%20%26%20away');
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('quotes in a slideshow id and its sound leave the scripts running; start-up entries and slides mail', async () => {
        mailRequests.length = 0;
        const page = await open('Quotes.html');
        assert.equal(await page.evaluate(() => typeof initialize), 'function');
        assert.equal(await page.evaluate(() => _slideshowAudios['o\'show']), 'files/say "hi".mp3');
        assert.equal(await mailAttempted('mailto:'), 'mailto:ann@example.org?subject=Start%20%26%20go');
        // The slide shows its picture with a link that mails.
        await page.waitForFunction(() => document.getElementById('view-link-image').getAttribute('src') === 'files/red.png');
        await shoot(page, 'quoted-slideshow');
        mailRequests.length = 0;
        await clickCentre(page, 'view-link-image');
        assert.equal(await mailAttempted('mailto:'), 'mailto:ann@example.org?subject=Slide%20%26%20show');
        assert.deepEqual(page.alerts, []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test('the runtime reports a missing menu with its alert', async () => {
        const page = await open('Actions.html');
        await page.evaluate(() => show_menu('nothing', 'align-bottom', 0));
        assert.deepEqual(page.alerts, ['Cannot find menu: nothing']);
        await page.close();
    });
});
