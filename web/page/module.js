// The evaluation module and the page's side of its interface: the module reads the name box,
// writes and reads back the output box and opens the notice through these functions. Texts
// cross as UTF-16 code units, as JavaScript holds them, so every name reaches the evaluation
// unit for unit, lone surrogates included.

const noticeOk = 1;

// A fresh view each time: the module's memory moves when it grows.
function units(memory, pointer, length) {
    return new Uint16Array(memory.buffer, pointer >>> 0, length >>> 0);
}

function readText(memory, pointer, length) {
    const view = units(memory, pointer, length);
    let text = '';
    // In slices, since an argument list has a limit and a name may be very long.
    for (let start = 0; start < view.length; start += 8192) {
        text += String.fromCharCode(...view.subarray(start, start + 8192));
    }
    return text;
}

function writeText(memory, pointer, text) {
    const view = units(memory, pointer, text.length);
    for (let i = 0; i < text.length; i++) {
        view[i] = text.charCodeAt(i);
    }
}

async function instantiate(url, imports) {
    const response = await fetch(url);
    if (!response.ok) {
        throw new Error(`${url}: ${response.status} ${response.statusText}`);
    }
    // Streaming compilation needs the right type; some static hosts do not know .wasm.
    if (response.headers.get('Content-Type')?.startsWith('application/wasm')) {
        return WebAssembly.instantiateStreaming(response, imports);
    }
    return WebAssembly.instantiate(await response.arrayBuffer(), imports);
}

// page: { nameBox, outputBox, showNotice(text, title, icon) }
export async function loadEvaluation(url, page) {
    let memory = null;
    const imports = {
        page: {
            name_text_length: () => page.nameBox.value.length,
            read_name_text: (into) => writeText(memory, into, page.nameBox.value),
            output_text_length: () => page.outputBox.value.length,
            read_output_text: (into) => writeText(memory, into, page.outputBox.value),
            set_output_text: (text, length) => {
                page.outputBox.value = readText(memory, text, length);
            },
            show_notice: (text, length, title, titleLength, icon) => {
                page.showNotice(
                    readText(memory, text, length), readText(memory, title, titleLength), icon);
                return noticeOk;
            },
        },
    };
    const {instance} = await instantiate(url, imports);
    memory = instance.exports.memory;
    instance.exports._initialize();
    return {runQuery: () => instance.exports.run_query()};
}
