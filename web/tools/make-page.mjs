// Makes the page in --out from the built module, the page's sources and the drawn icons. The
// window's texts are taken from the module, which has them from the header the Windows program
// uses too, and filled into the markup and the manifest: no text is written twice.
//   node make-page.mjs --module renpin.wasm --sources web/page --icons ICON_DIR
//                      --maker-page URL --out DIR
import {createHash} from 'node:crypto';
import {copyFileSync, mkdirSync, readFileSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';
import {parseArgs} from 'node:util';

const {values: options} = parseArgs({
    options: {
        module: {type: 'string'},
        sources: {type: 'string'},
        icons: {type: 'string'},
        'maker-page': {type: 'string'},
        out: {type: 'string'},
    },
});
for (const name of ['module', 'sources', 'icons', 'maker-page', 'out']) {
    if (!options[name]) {
        throw new Error(`make-page: --${name} is missing`);
    }
}

const iconSizes = [16, 32, 48, 256];
const copiedSources = [
    'renpin.css', 'main.js', 'module.js', 'notice.js', 'closing.js', 'information.svg', 'error.svg'
];

function windowTexts(modulePath) {
    // The page's functions are never called here; only the texts are read.
    const never = () => {
        throw new Error('make-page: the module called the page');
    };
    const page = Object.fromEntries(
        WebAssembly.Module.imports(new WebAssembly.Module(readFileSync(modulePath)))
            .map(({name}) => [name, never]));
    const {exports} =
        new WebAssembly.Instance(new WebAssembly.Module(readFileSync(modulePath)), {page});
    exports._initialize();
    const memory = new Uint8Array(exports.memory.buffer);
    const texts = new Map();
    for (let i = 0; i < exports.window_text_count(); i++) {
        const keyStart = exports.window_text_key(i);
        const key =
            Buffer.from(memory.subarray(keyStart, memory.indexOf(0, keyStart))).toString('latin1');
        const start = exports.window_text(i);
        const length = exports.window_text_length(i);
        texts.set(key, Buffer.from(memory.subarray(start, start + 2 * length)).toString('utf16le'));
    }
    return texts;
}

function escapeHtml(text) { return text.replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`); }

// Replaces every {{key}}; a key without a value, or a value that no page uses, is a mistake.
function fillIn(template, values, used) {
    return template.replace(/\{\{(\w+)\}\}/g, (_, key) => {
        if (!values.has(key)) {
            throw new Error(`make-page: no value for {{${key}}}`);
        }
        used.add(key);
        return values.get(key);
    });
}

const texts = windowTexts(options.module);
const out = options.out;
mkdirSync(join(out, 'icons'), {recursive: true});

const markupValues = new Map([...texts].map(([key, text]) => [key, escapeHtml(text)]));
markupValues.set('maker_page', escapeHtml(options['maker-page']));
const used = new Set();
writeFileSync(
    join(out, 'index.html'),
    fillIn(readFileSync(join(options.sources, 'index.html'), 'utf8'), markupValues, used));
const unused = [...texts.keys()].filter((key) => !used.has(key));
if (unused.length > 0) {
    throw new Error(`make-page: the page does not show ${unused.join(', ')}`);
}

for (const name of copiedSources) {
    copyFileSync(join(options.sources, name), join(out, name));
}
copyFileSync(options.module, join(out, 'renpin.wasm'));
for (const size of iconSizes) {
    copyFileSync(
        join(options.icons, `${size}x${size}`, 'apps', 'renpin.png'),
        join(out, 'icons', `renpin-${size}.png`));
}

const manifest = {
    name: texts.get('caption'),
    lang: 'zh-CN',
    start_url: './',
    scope: './',
    display: 'standalone',
    background_color: '#6b7b8c',
    theme_color: '#f0f0f0',
    icons: iconSizes.map((size) => ({
                             src: `icons/renpin-${size}.png`,
                             sizes: `${size}x${size}`,
                             type: 'image/png',
                         })),
};
writeFileSync(join(out, 'manifest.webmanifest'), `${JSON.stringify(manifest, null, 2)}\n`);

// The service worker keeps every other file; its cache's name changes with any of them.
const kept = [
    './', 'index.html', 'manifest.webmanifest', 'renpin.wasm', ...copiedSources,
    ...iconSizes.map((size) => `icons/renpin-${size}.png`)
];
const version = createHash('sha256');
for (const file of kept.slice(1)) {
    version.update(file).update('\0').update(readFileSync(join(out, file)));
}
const workerValues = new Map([
    ['version', version.digest('hex').slice(0, 16)],
    ['files', JSON.stringify(kept)],
]);
writeFileSync(
    join(out, 'sw.js'),
    fillIn(readFileSync(join(options.sources, 'sw.js'), 'utf8'), workerValues, new Set()));
