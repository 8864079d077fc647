// A static file server for the tests: serves a folder under a path of its own on 127.0.0.1, so
// the page is tried where it does not sit at the server's root.
import {readFile} from 'node:fs/promises';
import {createServer} from 'node:http';
import {extname, join, normalize} from 'node:path';

const types = {
    '.html': 'text/html; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json',
    '.png': 'image/png',
    '.svg': 'image/svg+xml',
};

export async function serve(folder, prefix = '/some/folder/') {
    const server = createServer(async (request, response) => {
        const path = new URL(request.url, 'http://localhost').pathname;
        if (!path.startsWith(prefix)) {
            response.writeHead(404).end();
            return;
        }
        const relative = normalize(decodeURIComponent(path.slice(prefix.length)) || 'index.html');
        if (relative.startsWith('..')) {
            response.writeHead(404).end();
            return;
        }
        try {
            const body = await readFile(join(folder, relative));
            response.writeHead(200, {
                'Content-Type': types[extname(relative)] ?? 'application/octet-stream',
                'Cache-Control': 'no-cache'
            });
            response.end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return {
        url: `http://127.0.0.1:${server.address().port}${prefix}`,
        close: () => new Promise((resolve) => {
            server.close(resolve);
            server.closeAllConnections();
        }),
    };
}
