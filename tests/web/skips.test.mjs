// The browser tests skip, with the line that says what to install, where the npm packages are missing and where the browsers are.
//
// usage: node tests/web/skips.test.mjs   (exits 77, skipped, where the npm packages are missing)
//
// Each browser test runs from a copy of the tests outside the source tree, where no npm package is found, or in
// place with its browser at a path that does not exist, and must exit 77 with its one line saying why.

import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {cpSync, mkdtempSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {test} from 'node:test';
import {fileURLToPath} from 'node:url';

import {requireModules} from './harness.mjs';

const HERE = fileURLToPath(new URL('.', import.meta.url));
const NPM = '(run npm ci at the top of the source tree)';
const GONE = '/nonexistent/browser';
const FIREFOX_GONE = `skipped: ${GONE} is missing (install it with: apt-get install firefox-esr)`;
const CHROMIUM_GONE = `skipped: ${GONE} is missing (install it with: apt-get install chromium)`;

// [what, script and its engine, where it runs, what it must print]
const CASES = [
    ['Chromium\'s scenarios, no npm packages', ['browser_test.mjs', 'chromium'], 'copy', `skipped: playwright-core is not installed ${NPM}`],
    ['Firefox\'s scenarios, no npm packages', ['browser_test.mjs', 'firefox'], 'copy', `skipped: playwright-core is not installed ${NPM}`],
    ['WebKit\'s scenarios, no npm packages', ['browser_test.mjs', 'webkit'], 'copy', `skipped: selenium-webdriver is not installed ${NPM}`],
    ['the screen reader, no npm packages', ['screen_reader_test.mjs', 'chromium'], 'copy', `skipped: playwright-core is not installed ${NPM}`],
    ['Lighthouse, no npm packages', ['lighthouse_test.mjs'], 'copy', `skipped: lighthouse is not installed ${NPM}`],
    ['a page module\'s tests, no npm packages', ['runs.test.mjs'], 'copy', `skipped: jsdom is not installed ${NPM}`],
    ['Chromium\'s scenarios, no Chromium', ['browser_test.mjs', 'chromium'], {CHROMIUM: GONE}, CHROMIUM_GONE],
    ['Firefox\'s scenarios, no Firefox', ['browser_test.mjs', 'firefox'], {FIREFOX: GONE}, FIREFOX_GONE],
    ['the screen reader, no Firefox', ['screen_reader_test.mjs', 'firefox'], {FIREFOX: GONE}, FIREFOX_GONE],
    ['Lighthouse, no Chromium', ['lighthouse_test.mjs'], {CHROMIUM: GONE}, CHROMIUM_GONE],
];

// The packages the in-place cases need, so that what is missing there is the browser alone.
requireModules('playwright-core', 'lighthouse', 'jsdom');

test('a browser test skips, saying what to install', async (t) => {
    const copy = mkdtempSync(join(tmpdir(), 'hitblow-no-npm-'));
    cpSync(HERE, copy, {recursive: true, filter: (path) => !path.endsWith('skips.test.mjs')});
    try {
        assert.throws(() => createRequire(join(copy, 'x.mjs')).resolve('playwright-core'),
                      `${copy} finds npm packages, so it cannot stand for a tree without them`);
        for (const [what, [script, ...engine], where, line] of CASES) {
            await t.test(what, () => {
                const env = {...process.env, HITBLOW_FIXED_CLOCK: '1', ORCA_LOG: '/dev/null',
                             ...(where === 'copy' ? {} : where)};
                const args = [join(where === 'copy' ? copy : HERE, script), ...engine, '/nonexistent/site', 'README.md'];
                const run = spawnSync(process.execPath, args, {env, encoding: 'utf8', timeout: 60000});
                assert.equal(run.status, 77, `exit status ${run.status}; it printed:\n${run.stdout}${run.stderr}`);
                assert.equal(run.stdout.trim(), line);
            });
        }
    } finally {
        rmSync(copy, {recursive: true, force: true});
    }
});
