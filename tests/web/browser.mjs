// Headless Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe): no
// WebSocket client and no npm package, only Node's child_process. A tab's helpers press real
// keys, click with the mouse, and find controls by role and name in the accessibility tree, as
// a screen reader does.
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

const chromiumFlags = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    // Every name but the test server's resolves to nothing, so no test can reach the network.
    '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
    '--remote-debugging-pipe',
];

const keys = {
    Enter: {key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13, text: '\r'},
    Tab: {key: 'Tab', code: 'Tab', windowsVirtualKeyCode: 9},
    Space: {key: ' ', code: 'Space', windowsVirtualKeyCode: 32, text: ' '},
    Escape: {key: 'Escape', code: 'Escape', windowsVirtualKeyCode: 27},
    Backspace: {key: 'Backspace', code: 'Backspace', windowsVirtualKeyCode: 8},
};
const shift = 8;

export class Browser {
    static async launch() {
        const profile = mkdtempSync(join(tmpdir(), 'renpin-chromium-'));
        const child = spawn(
            'chromium', [...chromiumFlags, `--user-data-dir=${profile}`],
            {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe']});
        let log = '';
        child.stderr.on('data', (data) => (log += data));
        const browser = new Browser(child, profile, () => log);
        await browser.send('Target.setDiscoverTargets', {discover: true});
        return browser;
    }

    constructor(child, profile, log) {
        this.child = child;
        this.profile = profile;
        this.log = log;
        this.nextId = 1;
        this.pending = new Map();
        this.listeners = new Set();
        let buffer = '';
        child.stdio[4].setEncoding('utf8');
        child.stdio[4].on('data', (chunk) => {
            buffer += chunk;
            let end;
            while ((end = buffer.indexOf('\0')) >= 0) {
                this.receive(JSON.parse(buffer.slice(0, end)));
                buffer = buffer.slice(end + 1);
            }
        });
        child.on('exit', (code) => {
            for (const {reject} of this.pending.values()) {
                reject(new Error(`chromium ended (${code}):\n${log()}`));
            }
            this.pending.clear();
        });
    }

    receive(message) {
        if (message.id !== undefined) {
            const call = this.pending.get(message.id);
            this.pending.delete(message.id);
            if (message.error) {
                call.reject(new Error(`${call.method}: ${message.error.message}`));
            } else {
                call.resolve(message.result);
            }
            return;
        }
        for (const listener of this.listeners) {
            listener(message);
        }
    }

    send(method, params = {}, sessionId = undefined) {
        const id = this.nextId++;
        this.child.stdio[3].write(`${JSON.stringify({id, method, params, sessionId})}\0`);
        return new Promise((resolve, reject) => this.pending.set(id, {resolve, reject, method}));
    }

    // Calls listener(params) for each event of that name (in that session, if given).
    on(method, listener, sessionId = undefined) {
        const wrapped = (message) => {
            if (message.method === method && (!sessionId || message.sessionId === sessionId)) {
                listener(message.params);
            }
        };
        this.listeners.add(wrapped);
        return () => this.listeners.delete(wrapped);
    }

    waitFor(method, test = () => true, timeout = 10000) {
        return new Promise((resolve, reject) => {
            const timer = setTimeout(() => {
                stop();
                reject(new Error(`no ${method} within ${timeout} ms`));
            }, timeout);
            const stop = this.on(method, (params) => {
                if (test(params)) {
                    clearTimeout(timer);
                    stop();
                    resolve(params);
                }
            });
        });
    }

    async newTab() {
        const {targetId} = await this.send('Target.createTarget', {url: 'about:blank'});
        const {sessionId} = await this.send('Target.attachToTarget', {targetId, flatten: true});
        const tab = new Tab(this, targetId, sessionId);
        await tab.start();
        return tab;
    }

    async close() {
        const ended = new Promise((resolve) => this.child.once('exit', resolve));
        this.send('Browser.close').catch(() => {});
        await ended;
        rmSync(this.profile, {recursive: true, force: true});
    }
}

export class Tab {
    constructor(browser, targetId, sessionId) {
        this.browser = browser;
        this.targetId = targetId;
        this.sessionId = sessionId;
        this.requests = [];
        this.problems = [];
    }

    send(method, params = {}) { return this.browser.send(method, params, this.sessionId); }

    on(method, listener) { return this.browser.on(method, listener, this.sessionId); }

    // Records every request and every error the page reports.
    async start() {
        this.on('Network.requestWillBeSent', ({request}) => this.requests.push(request.url));
        this.on('Network.loadingFailed', ({errorText, canceled, type}) => {
            if (!canceled) {
                this.problems.push(`failed request (${type}): ${errorText}`);
            }
        });
        this.on('Network.responseReceived', ({response}) => {
            if (response.status >= 400) {
                this.problems.push(`${response.status} for ${response.url}`);
            }
        });
        this.on('Runtime.consoleAPICalled', ({type, args}) => {
            if (type === 'error' || type === 'assert') {
                this.problems.push(
                    `console.${type}: ${args.map((a) => a.value ?? a.description).join(' ')}`);
            }
        });
        this.on('Runtime.exceptionThrown', ({exceptionDetails}) => {
            this.problems.push(
                `exception: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
        });
        this.on('Log.entryAdded', ({entry}) => {
            if (entry.level === 'error') {
                this.problems.push(`log: ${entry.text} ${entry.url ?? ''}`);
            }
        });
        for (const domain of ['Page', 'Runtime', 'Network', 'Log', 'DOM', 'Accessibility']) {
            await this.send(`${domain}.enable`);
        }
    }

    async goto(url) {
        const loaded = this.browser.waitFor('Page.loadEventFired', () => true);
        await this.send('Page.navigate', {url});
        await loaded;
    }

    async reload() {
        const loaded = this.browser.waitFor('Page.loadEventFired', () => true);
        await this.send('Page.reload');
        await loaded;
    }

    // The value of a JavaScript expression in the page, a promise's once it is settled. Strings
    // come back through JSON.stringify, which escapes lone surrogates, so they survive the
    // protocol's UTF-8.
    async evaluate(expression) {
        const {result, exceptionDetails} = await this.send('Runtime.evaluate', {
            expression: `(async () => JSON.stringify(await (${expression})))()`,
            awaitPromise: true,
            returnByValue: true,
        });
        if (exceptionDetails) {
            throw new Error(`${expression}: ${exceptionDetails.exception?.description}`);
        }
        return result.value === undefined ? undefined : JSON.parse(result.value);
    }

    // Waits until the expression is true in the page.
    async until(expression, timeout = 10000) {
        const end = Date.now() + timeout;
        while (!(await this.evaluate(expression))) {
            if (Date.now() > end) {
                throw new Error(`not true within ${timeout} ms: ${expression}`);
            }
            await new Promise((resolve) => setTimeout(resolve, 20));
        }
    }

    async press(name, {shifted = false} = {}) {
        const key = keys[name];
        const modifiers = shifted ? shift : 0;
        await this.send(
            'Input.dispatchKeyEvent',
            {type: key.text ? 'keyDown' : 'rawKeyDown', modifiers, ...key});
        await this.send('Input.dispatchKeyEvent', {type: 'keyUp', modifiers, ...key});
    }

    // Ctrl+A, then the text as typed (an input method's commit), which replaces the selection.
    async replaceText(text) {
        const selectAll = {
            key: 'a',
            code: 'KeyA',
            windowsVirtualKeyCode: 65,
            modifiers: 2,
            commands: ['selectAll']
        };
        await this.send('Input.dispatchKeyEvent', {type: 'rawKeyDown', ...selectAll});
        await this.send('Input.dispatchKeyEvent', {type: 'keyUp', ...selectAll});
        if (text === '') {
            await this.press('Backspace');
        } else {
            await this.send('Input.insertText', {text});
        }
    }

    // The accessibility tree's nodes of that role and name that are shown.
    async findAll(role, name) {
        const {nodes} = await this.send('Accessibility.queryAXTree', {
            ...(await this.documentNode()),
            role,
            ...(name === undefined ? {} : {accessibleName: name}),
        });
        return nodes.filter((node) => !node.ignored);
    }

    async find(role, name) {
        const found = await this.findAll(role, name);
        if (found.length !== 1) {
            throw new Error(`${found.length} nodes of role ${role} named ${name}`);
        }
        return found[0];
    }

    async documentNode() {
        const {root} = await this.send('DOM.getDocument', {depth: 0});
        return {backendNodeId: root.backendNodeId};
    }

    // Calls a function with the node's element as `this`; the result as evaluate() gives it.
    async callOn(node, functionDeclaration) {
        const {object} = await this.send('DOM.resolveNode', {backendNodeId: node.backendDOMNodeId});
        const {result, exceptionDetails} = await this.send('Runtime.callFunctionOn', {
            objectId: object.objectId,
            functionDeclaration:
                `function() { return JSON.stringify((${functionDeclaration}).call(this)); }`,
            returnByValue: true,
        });
        await this.send('Runtime.releaseObject', {objectId: object.objectId});
        if (exceptionDetails) {
            throw new Error(exceptionDetails.exception?.description);
        }
        return result.value === undefined ? undefined : JSON.parse(result.value);
    }

    async isFocused(node) {
        return this.callOn(node, 'function() { return this === document.activeElement; }');
    }

    async click(node) {
        const {model} = await this.send('DOM.getBoxModel', {backendNodeId: node.backendDOMNodeId});
        const [x1, y1, , , x3, y3] = model.border;
        const at = {x: (x1 + x3) / 2, y: (y1 + y3) / 2, button: 'left', clickCount: 1};
        await this.send('Input.dispatchMouseEvent', {type: 'mouseMoved', ...at});
        await this.send('Input.dispatchMouseEvent', {type: 'mousePressed', ...at});
        await this.send('Input.dispatchMouseEvent', {type: 'mouseReleased', ...at});
    }

    async screenshot(path) {
        const {data} = await this.send('Page.captureScreenshot', {format: 'png'});
        writeFileSync(path, Buffer.from(data, 'base64'));
    }
}
