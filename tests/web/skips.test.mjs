// The browser tests skip, with the line that says what to install, where the npm packages are missing and where the browsers are.
//
// Each browser test runs from a copy of the tests and of cmake/ (whose page script they import), laid out as in the
// source tree but outside it, where no npm package is found, or in place with its browser at a path that does not
// exist, and must exit 77 with its one line saying why.

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
const GONE = '/nonexistent/browser';
const missing = (module) => `skipped: ${module} is not installed (run npm ci at the top of the source tree)`;
const gone = (package_) => `skipped: ${GONE} is missing (install it with: apt-get install ${package_})`;

// [script and its engine, where it runs (a copy without npm packages, or the environment naming a browser gone), what it prints]
const CASES = [
    ['browser_test.mjs chromium', 'copy', missing('playwright-core')], ['browser_test.mjs webkit', 'copy', missing('selenium-webdriver')],
    ['screen_reader_test.mjs chromium', 'copy', missing('playwright-core')], ['lighthouse_test.mjs', 'copy', missing('lighthouse')],
    ['runs.test.mjs', 'copy', missing('jsdom')], ['browser_test.mjs chromium', {CHROMIUM: GONE}, gone('chromium')],
    ['browser_test.mjs firefox', {FIREFOX: GONE}, gone('firefox-esr')], ['screen_reader_test.mjs firefox', {FIREFOX: GONE}, gone('firefox-esr')],
    ['lighthouse_test.mjs', {CHROMIUM: GONE}, gone('chromium')],
];

// The packages the in-place cases need, so that what is missing there is the browser alone.
requireModules('playwright-core', 'lighthouse', 'jsdom');

test('a browser test skips, saying what to install', async (t) => {
    const top = mkdtempSync(join(tmpdir(), 'hitblow-no-npm-'));
    const copy = join(top, 'tests', 'web');
    cpSync(HERE, copy, {recursive: true, filter: (path) => !path.endsWith('skips.test.mjs')});
    cpSync(join(HERE, '..', '..', 'cmake'), join(top, 'cmake'), {recursive: true});
    try {
        assert.throws(() => createRequire(join(copy, 'x.mjs')).resolve('playwright-core'),
                      `${copy} finds npm packages, so it cannot stand for a tree without them`);
        for (const [command, where, line] of CASES) {
            const [script, ...engine] = command.split(' ');
            await t.test(`${command}, ${where === 'copy' ? 'no npm packages' : 'no browser'}`, () => {
                const env = {...process.env, HITBLOW_FIXED_CLOCK: '1', ORCA_LOG: '/dev/null',
                             ...(where === 'copy' ? {} : where)};
                const args = [join(where === 'copy' ? copy : HERE, script), ...engine, '/nonexistent/site', 'README.md'];
                const run = spawnSync(process.execPath, args, {env, encoding: 'utf8', timeout: 60000});
                assert.equal(run.status, 77, `exit status ${run.status}; it printed:\n${run.stdout}${run.stderr}`);
                assert.equal(run.stdout.trim(), line);
            });
        }
    } finally {
        rmSync(top, {recursive: true, force: true});
    }
});
