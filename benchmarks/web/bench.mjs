// The web page's figures: the size of its files (raw and gzipped) and of the module, and in
// headless Chromium the time from the key press (Enter in the name box) to the notice being open
// and to the start of the frame that draws it, for a short name and a name of 100,000 units;
// beside them renpin-cli's time for the same names, start-up included. Not a test: it prints.
//   node benchmarks/web/bench.mjs [PAGE_DIR] [RENPIN_CLI]
import {execFileSync} from 'node:child_process';
import {readdirSync, readFileSync, statSync} from 'node:fs';
import {join, relative} from 'node:path';
import {performance} from 'node:perf_hooks';
import {gzipSync} from 'node:zlib';

import {Browser} from '../../tests/web/browser.mjs';
import {serve} from '../../tests/web/static-server.mjs';

const [pageDir = 'build/web/page', cli = 'build/host/cli/renpin-cli'] = process.argv.slice(2);

function files(folder) {
    return readdirSync(folder, {withFileTypes: true}).flatMap((entry) => {
        const path = join(folder, entry.name);
        return entry.isDirectory() ? files(path) : [path];
    });
}

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

const format = (ms) => `${ms.toFixed(2)} ms`;

// Sizes.
let raw = 0;
let gzipped = 0;
for (const path of files(pageDir).sort()) {
    const bytes = readFileSync(path);
    const packed = gzipSync(bytes, {level: 9}).length;
    raw += bytes.length;
    gzipped += packed;
    console.log(`  ${relative(pageDir, path).padEnd(24)} ${
        String(bytes.length).padStart(6)} B, gzipped ${String(packed).padStart(6)} B`);
}
console.log(`page files: ${raw} B, gzipped ${gzipped} B (goal: under 61,440)`);
const module = statSync(join(pageDir, 'renpin.wasm')).size;
console.log(`module: ${module} B, gzipped ${gzipSync(readFileSync(join(pageDir, 'renpin.wasm')), {
                                                level: 9
                                            }).length} B (goal: under 32,768)`);

// Times in the page: the key press's event time to the notice open, and to the next frame.
const instrument = `(() => {
    const dialog = document.querySelector('dialog');
    window.benchTimes = [];
    document.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter' || document.activeElement.type !== 'text') return;
        const pressed = event.timeStamp;
        requestAnimationFrame((frame) => {
            window.benchTimes.push({ open: window.benchOpenAt - pressed, frame: performance.now() - pressed });
        });
    }, true);
    new MutationObserver(() => { if (dialog.open) window.benchOpenAt = performance.now(); })
        .observe(dialog, { attributes: true, attributeFilter: ['open'] });
    return true;
})()`;

async function timeQueries(tab, name, count) {
    const nameBox = await tab.find('textbox', '姓名');
    await tab.click(nameBox);
    await tab.replaceText(name);
    await tab.evaluate('(window.benchTimes = [], true)');
    for (let i = 0; i < count; i++) {
        await tab.press('Enter');
        await tab.until(`window.benchTimes.length === ${i + 1}`);
        await tab.press('Enter');  // 确定
    }
    const times = await tab.evaluate('window.benchTimes');
    return {
        open: median(times.map((t) => t.open)),
        openMax: Math.max(...times.map((t) => t.open)),
        frame: median(times.map((t) => t.frame)),
        frameMax: Math.max(...times.map((t) => t.frame))
    };
}

function timeCli(name, count) {
    const times = [];
    for (let i = 0; i < count; i++) {
        const start = performance.now();
        execFileSync(cli, ['-'], {input: `${name}\n`});
        times.push(performance.now() - start);
    }
    return median(times);
}

const server = await serve(pageDir);
const browser = await Browser.launch();
try {
    const tab = await browser.newTab();
    await tab.goto(server.url);
    await tab.find('button', '查询人品');
    await tab.evaluate(instrument);
    for (const [label, name, count] of [
             ['张三', '张三', 200], ['100,000 units', 'b'.repeat(100000), 21]]) {
        const page = await timeQueries(tab, name, count);
        console.log(
            `query ${label} (${count}, medians): key press to notice open ${
                format(page.open)} (max ${format(page.openMax)}),` +
            ` to the frame that draws it ${format(page.frame)} (max ${format(page.frameMax)});` +
            ` renpin-cli, start-up included: ${format(timeCli(name, 21))}`);
    }
} finally {
    await browser.close();
    await server.close();
}
