// Browser tests: one small driver interface over the three engines, so that each scenario is written once.
//
// openBrowser(engine, {headed, profile}) opens a browser, and its newPage(device, {scripts}) a page driver with:
// goto(url), visit(url) (a plain navigation, as a player's to another page), back() (as the browser's own back button),
// evaluate(fn, arg), type(text) key by key, press('Enter' or 'Backspace'), insertText(text) as an input method commits
// it, tap(name) a button (a click without touch), close(), reload(), setOffline(offline), emulateMedia(features),
// resize(width, height) in CSS pixels, installabilityErrors() (Chromium's, in a profile of its own), problemsFound()
// (errors logged or thrown, requests elsewhere, policy violations), and `engine` and `touch`.  What a driver cannot
// show: LIMITS, and docs/testing.md.

import {requireFile, requireModules} from './harness.mjs';

// Where Debian puts each engine, and what else its driver needs.
const BROWSERS = {
    chromium: {path: process.env.CHROMIUM || '/usr/bin/chromium', package: 'chromium'},
    firefox: {path: process.env.FIREFOX || '/usr/bin/firefox-esr', package: 'firefox-esr'},
    webkit: {path: '/usr/bin/WebKitWebDriver', package: 'webkit2gtk-driver xvfb xauth',
             browser: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'},
};

// What each engine's driver cannot show, of what a scenario `needs`: that scenario is left out of its run, saying why.
export const LIMITS = {
    chromium: {},
    firefox: {
        media: 'Playwright cannot emulate forced colours in Firefox',
        noScripts: 'Playwright cannot turn scripts off in Firefox, over WebDriver BiDi',
        installability: 'Firefox has no check of its own of whether a page can be installed',
    },
    webkit: {
        zoom: 'W3C WebDriver cannot zoom a page or set its device pixel ratio',
        media: 'W3C WebDriver cannot emulate a colour scheme, reduced motion or forced colours',
        noScripts: 'W3C WebDriver cannot turn scripts off',
        installability: 'W3C WebDriver cannot ask WebKit whether a page can be installed',
    },
};

// Skips the test (harness.mjs) where the npm package of `engine`'s driver or the engine's own files are missing.
export function requireEngine(engine)
{
    const browser = BROWSERS[engine];
    requireModules(engine === 'webkit' ? 'selenium-webdriver' : 'playwright-core');
    for (const path of [browser.path, browser.browser].filter(Boolean))
        requireFile(path, browser.package);
    if (engine === 'webkit')
        requireFile('/usr/bin/xvfb-run', 'xvfb xauth');
}

// The phones and touch screens that scenarios emulate, by name.
export async function devices()
{
    const {devices: known} = await import('playwright-core');
    return {
        'Pixel 7': known['Pixel 7'],
        'iPhone 13': known['iPhone 13'],
        'touch 320x640': {viewport: {width: 320, height: 640}, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
        'touch 360x640': {viewport: {width: 360, height: 640}, deviceScaleFactor: 2, isMobile: true, hasTouch: true},
        desktop: {viewport: {width: 1000, height: 1500}},
        'desktop 1280x800': {viewport: {width: 1280, height: 800}, deviceScaleFactor: 1},
        // A 1280 by 800 window zoomed to 400%, as a page sees it: a quarter of the CSS pixels each way.
        'zoom 400%': {viewport: {width: 320, height: 200}, deviceScaleFactor: 4},
    };
}

// Headless, and with no background traffic: nothing but the page may make requests.
const CHROMIUM_ARGS = ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
                       '--disable-component-update', '--disable-sync'];

// Opens `engine`, headless unless `headed`: a window on the X display, its pages on the accessibility bus; with
// `profile`, a folder, its pages in one context of that profile's, as a player's (not a private window's).
export async function openBrowser(engine, {headed = false, profile = null} = {})
{
    if (engine === 'webkit')
        return openWebKit();
    const playwright = await import('playwright-core');
    const launcher = playwright[engine];
    const options = engine === 'chromium'
        ? {executablePath: BROWSERS.chromium.path, args: [...CHROMIUM_ARGS, ...(headed ? ['--force-renderer-accessibility'] : [])],
           ignoreDefaultArgs: ['--disable-back-forward-cache']} // Playwright's, which players' browsers have not
        : {channel: 'moz-firefox', executablePath: BROWSERS.firefox.path};
    options.headless = !headed;
    const table = await devices();
    const settingsFor = (device) => (engine === 'firefox'
        ? {viewport: table[device].viewport, deviceScaleFactor: table[device].deviceScaleFactor}
        : table[device]);
    let launched = null; // the browser, launched at the first page, or the profile's context
    return {
        engine,
        async newPage(device = 'desktop', {scripts = true} = {})
        {
            const settings = {...settingsFor(device), javaScriptEnabled: scripts};
            let context;
            if (profile === null) {
                launched ??= await launcher.launch(options);
                context = await launched.newContext(settings);
            } else {
                context = launched ??= await launcher.launchPersistentContext(profile, {...options, ...settings});
            }
            const page = context.pages()[0] ?? await context.newPage();
            return new PlaywrightPage(engine, context, page, Boolean(table[device].hasTouch) && engine !== 'firefox');
        },
        async close()
        {
            await launched?.close();
        },
    };
}

// Records the page's policy violations, for problemsFound() to collect.
const WATCH_POLICY = `window.policyViolations = [];
    document.addEventListener('securitypolicyviolation',
        (event) => policyViolations.push(event.violatedDirective + ' ' + event.blockedURI));`;

const policyProblems = async (page) => (await page.evaluate(() => window.policyViolations || []))
    .map((violation) => `the policy was violated: ${violation}`);

// Firefox, on a busy machine, asks for /favicon.ico on its own (the page's icon is icon.svg), and a page left
// before that request is answered reports the service worker that had taken it as failing: the browser's, not
// the page's.
const browsersOwn = (text) => /\/favicon\.ico’\. A ServiceWorker intercepted the request/.test(text);

class PlaywrightPage {
    constructor(engine, context, page, touch)
    {
        Object.assign(this, {engine, context, page, touch, problems: []});
        page.on('console', (message) => {
            if (message.type() === 'error' && !browsersOwn(message.text()))
                this.problems.push(`logged as an error: ${message.text()}`);
        });
        page.on('pageerror', (error) => {
            if (!browsersOwn(error.message))
                this.problems.push(`the page threw: ${error.message}`);
        });
        this.evaluate = (fn, arg) => page.evaluate(fn, arg);
        this.visit = (url) => page.goto(url);
        this.back = () => page.evaluate(() => { setTimeout(() => history.back(), 0); }); // once this evaluation answers
        this.reload = () => page.reload();
        this.type = (text) => page.keyboard.type(text);
        this.press = (key) => page.keyboard.press(key);
        this.setOffline = (offline) => context.setOffline(offline);
        this.emulateMedia = (features) => page.emulateMedia(features);
        this.resize = (width, height) => page.setViewportSize({width, height});
        context.on('request', (request) => {
            const url = new URL(request.url());
            if (url.origin !== this.origin && !['data:', 'blob:'].includes(url.protocol))
                this.problems.push(`a request left the local server: ${request.url()}`);
        });
    }

    async goto(url)
    {
        this.origin = new URL(url).origin;
        await this.page.addInitScript(WATCH_POLICY);
        await this.page.goto(url);
    }

    close()
    {
        return this.context.close();
    }

    async installabilityErrors()
    {
        const session = await this.context.newCDPSession(this.page);
        const {installabilityErrors} = await session.send('Page.getInstallabilityErrors');
        await session.detach();
        return installabilityErrors.map((error) => error.errorId);
    }

    async problemsFound()
    {
        return [...this.problems.splice(0), ...await policyProblems(this)];
    }

    // In Chromium, composed and committed as a Japanese input method does.
    async insertText(text)
    {
        if (this.engine !== 'chromium')
            return this.page.keyboard.insertText(text);
        const session = await this.context.newCDPSession(this.page); // the Chrome DevTools Protocol's
        await session.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length});
        await session.send('Input.insertText', {text});
        await session.detach();
    }

    tap(name)
    {
        const button = this.page.getByRole('button', {name, exact: true});
        return this.touch ? button.tap() : button.click();
    }
}

// WebKitGTK's MiniBrowser, driven by WebKitWebDriver through selenium-webdriver under xvfb-run.
async function openWebKit()
{
    const {Builder} = await import('selenium-webdriver');
    const {spawn} = await import('node:child_process');
    const {createServer} = await import('node:net');
    const port = await new Promise((resolve) => {
        const probe = createServer().listen(0, '127.0.0.1', () => {
            const {port: free} = probe.address();
            probe.close(() => resolve(free));
        });
    });
    const server = spawn(BROWSERS.webkit.path, [`--port=${port}`, '--host=127.0.0.1'], {stdio: 'ignore'});
    process.on('exit', () => server.kill()); // a test that ends early leaves no driver behind
    const drivers = [];
    const table = await devices();
    return {
        engine: 'webkit',
        // WebKitWebDriver drives one browser at a time: a new page ends the last.
        async newPage(device = 'desktop')
        {
            for (const driver of drivers.splice(0))
                await driver.quit().catch(() => {}); // ended already, as a closed page ends it
            const capabilities = {browserName: 'MiniBrowser',
                                  'webkitgtk:browserOptions': {binary: BROWSERS.webkit.browser, args: ['--automation']}};
            let driver = null;
            for (let tries = 0; driver === null; tries++) { // the driver's server may still be starting
                try {
                    driver = await new Builder().usingServer(`http://127.0.0.1:${port}`)
                        .withCapabilities(capabilities).build();
                } catch (error) {
                    if (tries === 50)
                        throw error;
                    await new Promise((resolve) => setTimeout(resolve, 100));
                }
            }
            drivers.push(driver);
            // A page that never loads fails the step that waits for it, not, five minutes on, the whole test.
            await driver.manage().setTimeouts({pageLoad: 60000});
            const {viewport} = table[device];
            await driver.manage().window().setRect({width: viewport.width, height: viewport.height});
            return new WebDriverPage(driver);
        },
        async close()
        {
            for (const driver of drivers)
                await driver.quit().catch(() => {});
            server.kill();
        },
    };
}

class WebDriverPage {
    constructor(driver)
    {
        Object.assign(this, {engine: 'webkit', driver, touch: false, problems: []});
        this.reload = () => driver.navigate().refresh();
        this.visit = (url) => driver.get(url);
        // The driver's own command: a script that goes back can leave the driver waiting for its answer for good.
        this.back = () => driver.navigate().back();
        this.close = () => driver.quit();
        // W3C WebDriver has no say over the network: the site's server going away (Player.setOffline()) stands for it.
        this.setOffline = async () => {};
        this.type = this.insertText = (text) => driver.actions().sendKeys(text).perform();
        // The window's outer size: the page loses the browser's own bars.
        this.resize = (width, height) => driver.manage().window().setRect({width, height});
    }

    async goto(url)
    {
        await this.driver.get(url);
        // Errors thrown and policy violations from now on are kept in the page for evaluate() and problemsFound().
        await this.driver.executeScript(`window.testErrors = [];
            addEventListener('error', (event) => testErrors.push(String(event.message)));
            addEventListener('unhandledrejection', (event) => testErrors.push(String(event.reason)));
            ${WATCH_POLICY}`);
    }

    async problemsFound()
    {
        return [...await policyProblems(this), ...this.problems.splice(0)]; // the page's errors after the last look too
    }

    async evaluate(fn, arg)
    {
        const result = await this.driver.executeScript(`return (${fn})(arguments[0]);`, arg);
        const errors = await this.driver.executeScript('return window.testErrors || [];');
        this.problems.push(...errors.splice(0).map((error) => `the page threw: ${error}`));
        await this.driver.executeScript('if (window.testErrors) testErrors.length = 0;');
        return result;
    }

    async press(key)
    {
        const {Key} = await import('selenium-webdriver');
        await this.driver.actions().sendKeys({Enter: Key.ENTER, Backspace: Key.BACK_SPACE}[key]).perform();
    }

    async tap(name)
    {
        const {By} = await import('selenium-webdriver');
        const buttons = await this.driver.findElements(By.css('button'));
        for (const button of buttons) {
            const label = (await button.getAttribute('aria-label')) || (await button.getText());
            if (label === name && await button.isDisplayed())
                return button.click();
        }
        throw new Error(`no button named "${name}"`);
    }
}
