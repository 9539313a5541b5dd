// Browser tests: plays the scenarios of scenarios.mjs on the built site in one engine, as a player would.
//
// node browser_test.mjs ENGINE SITE_DIR README.md [SCENARIO...] plays each scenario (all by default) on each of its
// screens, in a fresh page from a server of its own, as many at once as there are cores.  A scenario also fails where
// the page logged an error or threw, made a request elsewhere, or broke its policy; one that needs what the driver
// cannot give is not played, saying why.  Prints a line a scenario; exits as harness.mjs says.

import {mkdtempSync, rmSync} from 'node:fs';
import {availableParallelism, tmpdir} from 'node:os';
import {join} from 'node:path';

import {LIMITS, openBrowser, requireEngine} from './drivers.mjs';
import {requireSite, runMain} from './harness.mjs';
import {FIXED_TIME, Player, SCENARIOS} from './scenarios.mjs';
import {serveSite} from './site_server.mjs';

const [engine, siteDir, readmePath, ...named] = process.argv.slice(2);
// The longest a scenario may take (three times the slowest seen, on a loaded machine): past it, a call to its driver
// has not answered, and the test ends, naming it, before CTest's timeout would end it saying nothing.
const SCENARIO_MS = 180000;

// Plays the scenario `name` in `browser`, and returns a line that says how it went.
async function play(browser, name)
{
    const scenario = SCENARIOS[name];
    const lacking = (scenario.needs || []).filter((need) => LIMITS[engine][need] !== undefined);
    if (lacking.length > 0)
        return `${name}: not played in ${engine}: ${lacking.map((need) => LIMITS[engine][need]).join('; ')}`;
    const site = await serveSite(siteDir, {fixedTime: FIXED_TIME, base: scenario.base || '/', gone: scenario.gone});
    const start = Date.now();
    // A scenario that needs a player's profile has a browser of its own, with one made for it.
    const profile = scenario.needs?.includes('installability') ? mkdtempSync(join(tmpdir(), 'hitblow-profile-')) : null;
    const own = profile === null ? null : await openBrowser(engine, {profile});
    try {
        const problems = [];
        for (const device of scenario.devices || ['desktop']) {
            const page = await (own ?? browser).newPage(device, {scripts: !scenario.needs?.includes('noScripts')});
            try {
                await page.goto(site.url);
                await scenario.run(new Player(page, readmePath, site));
                problems.push(...await page.problemsFound());
            } catch (error) {
                throw new Error(`on ${device}: ${error.message}`);
            } finally {
                await page.close();
            }
        }
        if (problems.length > 0)
            throw new Error(problems.join('\n'));
        return `${name}: passed in ${engine} (${((Date.now() - start) / 1000).toFixed(1)} s)`;
    } catch (error) {
        return `FAIL: ${name} in ${engine}: ${error.message}`;
    } finally {
        await own?.close();
        if (profile !== null)
            rmSync(profile, {recursive: true, force: true});
        await site.close();
    }
}

async function main()
{
    const names = named.length > 0 ? named : Object.keys(SCENARIOS);
    const unknown = names.filter((name) => SCENARIOS[name] === undefined);
    if (unknown.length > 0)
        throw new Error(`no scenario "${unknown[0]}"; there are: ${Object.keys(SCENARIOS).join(', ')}`);
    if (FIXED_TIME === null)
        throw new Error('HITBLOW_FIXED_CLOCK, the fixed clock\'s second, is not set: CTest sets it (ctest -R web)');
    requireEngine(engine);
    requireSite(siteDir);

    // WebKitWebDriver drives one browser at a time, so there each job has a driver of its own.
    const jobs = availableParallelism();
    const browsers = await Promise.all(Array.from({length: engine === 'webkit' ? jobs : 1}, () => openBrowser(engine)));
    const queue = [...names];
    let failed = false;
    const worker = async (browser) => {
        for (let name; (name = queue.shift()) !== undefined;) {
            const stuck = setTimeout(() => {
                console.log(`FAIL: ${name} in ${engine}: no end after ${SCENARIO_MS / 1000} s, its driver not answering`);
                process.exit(1);
            }, SCENARIO_MS);
            const line = await play(browser, name);
            clearTimeout(stuck);
            failed ||= line.startsWith('FAIL');
            console.log(line);
        }
    };
    try {
        await Promise.all(Array.from({length: jobs}, (_, job) => worker(browsers[job % browsers.length])));
    } finally {
        await Promise.all(browsers.map((browser) => browser.close()));
    }
    process.exit(failed ? 1 : 0);
}

runMain(engine, main);
