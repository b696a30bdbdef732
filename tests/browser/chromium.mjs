// What every browser test needs: Debian's Chromium driven through playwright-core with a
// profile of its own, and pages that collect the alerts and script errors they raise.
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

export const browserPath = '/usr/bin/chromium';

export function browserMissing() {
    return existsSync(browserPath) ? false : 'chromium is not installed';
}

// A headless browser with a fresh profile; close() ends it and removes the profile.
// `extraArgs` adds switches to the browser's command line; `options` adds settings of the
// browser context (such as reducedMotion).
export async function launchBrowser(viewport, extraArgs = [], options = {}) {
    const profile = mkdtempSync(join(tmpdir(), 'lumavine-profile-'));
    let context;
    try {
        context = await chromium.launchPersistentContext(profile, {
            executablePath: browserPath,
            headless: true,
            viewport,
            ...options,
            args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync', ...extraArgs],
        });
    } catch (error) {
        rmSync(profile, { recursive: true, force: true });
        throw error;
    }
    return {
        context,
        async close() {
            await context.close();
            rmSync(profile, { recursive: true, force: true });
        },
    };
}

// Opens a generated page and waits until its script has run. Every alert is a failure the
// runtime reports, so the page collects them, and script errors too.
export async function openPage(context, url) {
    const page = await context.newPage();
    page.alerts = [];
    page.on('dialog', async (dialog) => {
        page.alerts.push(dialog.message());
        await dialog.dismiss();
    });
    page.errors = [];
    page.on('pageerror', (error) => page.errors.push(error.message));
    await page.goto(url);
    await page.waitForFunction(() => window.page_loaded === true);
    return page;
}

export function removeFolders(...folders) {
    for (const folder of folders) {
        if (folder)
            rmSync(folder, { recursive: true, force: true });
    }
}
