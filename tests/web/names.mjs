// The names the page is asked: a table of the cases that matter, and generated ones from a fixed
// seed, so every run asks the same names.

// Which notice each kind of answer comes with: [title, icon file].
export const notices = {
    reproach: ['k-Vem阿朴', 'error.svg'],
    favoured: ['k-Vem阿朴提示', 'information.svg'],
    disfavoured: ['k-Vem提示', 'error.svg'],
    report: ['k-Vem阿朴提示', 'information.svg'],
};

export const table = [
    ['', 'reproach'],
    ...['K-VEM', 'K-vem', '秦立岚', '秦立峤', '葛文婷', 'k-Vem阿朴'].map(
        (name) => [name, 'favoured']),
    ...['菲菲', '蒋雨萱'].map((name) => [name, 'disfavoured']),
    // Near misses of the special names, names with known scores, and the hard cases.
    ...['k-vem', 'K-Vem', 'k-Vem', ' 菲菲', '菲菲 ', '蒋雨', '张三', '李四', 'Tom', 'tom', '赵',
        'd', ' ', '   ', '\u3000', '𠀀', '😀😀', 'a😀b', '\u{10FFFF}', '\ud800', '\udfff', 'x\udc00y',
        '\ud83d', '\ude00\ud83d', '\uffff', '\u8000', '\u7fff', 'c'.repeat(331), 'c'.repeat(400),
        '\u8d75'.repeat(2000), 'b'.repeat(100000)]
        .map((name) => [name, 'report']),
];

// mulberry32: a small generator with a fixed seed.
function random(seed) {
    return () => {
        seed = (seed + 0x6d2b79f5) | 0;
        let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
        t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

// Code units of each kind: ASCII letters and spaces, Chinese below and above U+8000 (positive
// and negative codes), characters beyond U+FFFF (surrogate pairs), and lone surrogates.
const alphabets = [
    () => 'abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ -.'.split(''),
    () =>
        '张王李赵刘陈杨黄周吴徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾萧田董袁潘蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦傅方邹熊白孟秦邱侯江尹薛闫段雷黎史龙陶贺顾毛郝龚邵万钱严覃武戴莫孔向汤'
            .split(''),
    () => ['😀', '𠀀', '𝐀', '🀄', '\u{10FFFD}', '𩸽'],
    () => ['\ud800', '\udbff', '\udc00', '\udfff'],
];

export function generatedNames(count, seed = 33) {
    const next = random(seed);
    const pick = (list) => list[Math.floor(next() * list.length)];
    const names = [];
    for (let i = 0; i < count; i++) {
        // Mostly short names; every tenth one long enough to leave a 16-bit sum.
        const length = i % 10 === 9 ? 331 + Math.floor(next() * 3000) : 1 + Math.floor(next() * 12);
        const kinds = alphabets.slice(0, 1 + Math.floor(next() * alphabets.length));
        let name = '';
        while (name.length < length) {
            name += pick(pick(kinds)());
        }
        names.push(name);
    }
    return names;
}

// A lone surrogate cannot be written in UTF-8, so renpin-cli cannot be given one. The score sees
// only each unit's remainder by 100, so the cli is asked the name with each lone surrogate
// replaced by a unit of U+FF39..U+FF9C with the same remainder; the report's first line is the
// name, which the caller puts back.
export function writableInUtf8(name) {
    return name.replace(
        /[\ud800-\udbff](?![\udc00-\udfff])|(?<![\ud800-\udbff])[\udc00-\udfff]/g,
        (unit) => String.fromCharCode(substitute(unit.charCodeAt(0))));
}

function substitute(unit) {
    const remainder = (unit - 65536) % 100;  // -99..0, as the evaluation takes it
    const replacement = 65536 + remainder - 100;
    if ((replacement - 65536) % 100 !== remainder) {
        throw new Error('no substitute');
    }
    return replacement;
}
