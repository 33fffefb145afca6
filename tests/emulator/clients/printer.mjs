// The real quillet-virtual-printer on loopback TCP, and what the tests read back from its
// receipts: the decoded log's text lines, the codes zbarimg reads, the picture's dots.
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { createInterface } from 'node:readline';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createConnection } from 'node:net';
import { PNG } from 'pngjs';

export const host = '127.0.0.1';

// A picture no text or code contains: 8-dot squares, checkered, with one corner dot cleared.
export const image = (() => {
    const width = 64, height = 48;
    const data = new Uint8ClampedArray(width * height * 4);
    for (let y = 0; y < height; y++)
        for (let x = 0; x < width; x++) {
            const black = ((x >> 3) + (y >> 3)) % 2 === 0 && !(x === 0 && y === 0);
            data.fill(black ? 0 : 255, (y * width + x) * 4, (y * width + x) * 4 + 3);
            data[(y * width + x) * 4 + 3] = 255;
        }
    return { width, height, data };
})();

export function imagePng(picture = image) {
    const png = new PNG({ width: picture.width, height: picture.height });
    png.data = Buffer.from(picture.data);
    return PNG.sync.write(png);
}

// Starts the printer; `port` is known once the promise resolves. Each receipt's PNG path is
// handed to the next `nextReceipt()` in the order receipts are written.
export async function startPrinter(extraArguments = []) {
    const folder = mkdtempSync(join(tmpdir(), 'quillet-clients-'));
    const child = spawn(process.env.QUILLET_VIRTUAL_PRINTER,
        ['--tcp', `${host}:0`, '--out', folder, '--pause', '30', ...extraArguments],
        { stdio: ['pipe', 'pipe', 'inherit'] });
    const receipts = [], waiting = [];
    const printer = {
        port: 0,
        nextReceipt() {
            if (receipts.length > 0) return Promise.resolve(receipts.shift());
            return new Promise((resolve, reject) => {
                const timer = setTimeout(() => reject(new Error('no receipt within 60 s')), 60000);
                waiting.push((path) => { clearTimeout(timer); resolve(path); });
            });
        },
        // Sends the bytes on a connection of their own and waits for their receipt.
        async print(bytes) {
            const arrived = printer.nextReceipt();
            await send(printer.port, bytes);
            return arrived;
        },
        stop() {
            child.kill('SIGTERM');
            rmSync(folder, { recursive: true, force: true });
        },
    };
    const lines = createInterface({ input: child.stdout });
    await new Promise((resolve, reject) => {
        child.on('exit', (code) => reject(new Error(`the printer ended with ${code}`)));
        lines.on('line', (line) => {
            if (line.startsWith('tcp ')) printer.port = Number(line.split(':').pop());
            if (line === 'ready') resolve();
            if (line.startsWith('receipt ')) {
                const waiter = waiting.shift();
                if (waiter) waiter(line.slice(8)); else receipts.push(line.slice(8));
            }
        });
    });
    return printer;
}

export function send(port, bytes) {
    return new Promise((resolve, reject) => {
        const socket = createConnection({ host, port }, () => socket.end(Buffer.from(bytes)));
        socket.resume(); // replies (status a library asks for) are read and dropped
        socket.on('close', resolve);
        socket.on('error', reject);
    });
}

export function receiptLog(pngPath) {
    return readFileSync(pngPath.replace(/\.png$/, '.txt'), 'utf8').split('\n');
}

// The logged text lines, in order: [text, style words].
export function loggedText(pngPath) {
    return receiptLog(pngPath).filter((line) => line.startsWith('text "')).map((line) => {
        const end = line.lastIndexOf('"');
        return [line.slice(6, end), line.slice(end + 2)];
    });
}

// Each expected [text, style words] is logged in this order (the library may pad the text).
export function expectLinesInOrder(pngPath, expected) {
    const logged = loggedText(pngPath);
    let at = 0;
    for (const [text, style] of expected) {
        while (at < logged.length && logged[at][0].trim() !== text) at++;
        assert.ok(at < logged.length, `"${text}" is logged in order (log: ${JSON.stringify(logged)})`);
        for (const word of style)
            assert.ok(logged[at][1].includes(word), `"${text}" is logged with ${word}: ${logged[at][1]}`);
        at++;
    }
}

export function readPicture(pngPath) {
    const png = PNG.sync.read(readFileSync(pngPath));
    return { width: png.width, height: png.height, dark: (x, y) => png.data[(y * png.width + x) * 4] < 128 };
}

// The picture holds `picture` dot for dot somewhere.
export function containsImage(pngPath, picture = image) {
    const paper = readPicture(pngPath);
    const want = (x, y) => picture.data[(y * picture.width + x) * 4] < 128;
    for (let top = 0; top + picture.height <= paper.height; top++)
        for (let left = 0; left + picture.width <= paper.width; left++) {
            let same = true;
            for (let y = 0; y < picture.height && same; y++)
                for (let x = 0; x < picture.width && same; x++)
                    same = paper.dark(left + x, top + y) === want(x, y);
            if (same) return true;
        }
    return false;
}

// Rows of the picture crossed by an unbroken black run at least `length` dots long.
export function ruledRows(pngPath, length) {
    const paper = readPicture(pngPath);
    let rows = 0;
    for (let y = 0; y < paper.height; y++) {
        let run = 0, longest = 0;
        for (let x = 0; x < paper.width; x++) {
            run = paper.dark(x, y) ? run + 1 : 0;
            longest = Math.max(longest, run);
        }
        if (longest >= length) rows++;
    }
    return rows;
}

export function decoded(pngPath) {
    return execFileSync('zbarimg', ['--quiet', '--raw', pngPath], { encoding: 'utf8' })
        .split('\n').filter((line) => line.length > 0);
}

// What a realistic receipt must show: its text lines in order, its codes read back by a scanner,
// its logo dot for dot, its table rules logged as box characters (each pattern matches a logged
// line) and drawn as unbroken lines at least `ruleLength` dots long.
export function checkReceipt(pngPath, { lines = [], codes = [], logo = image, rules = [], ruleLength }) {
    expectLinesInOrder(pngPath, lines);
    const read = decoded(pngPath);
    for (const code of codes)
        assert.ok(read.includes(code), `"${code}" decodes (read: ${JSON.stringify(read)})`);
    if (logo)
        assert.ok(containsImage(pngPath, logo), 'the logo is printed dot for dot');
    const texts = loggedText(pngPath).map(([text]) => text.trim());
    for (const rule of rules)
        assert.ok(texts.some((text) => rule.test(text)), `a rule ${rule} is logged: ${JSON.stringify(texts)}`);
    if (ruleLength) {
        const rows = ruledRows(pngPath, ruleLength);
        assert.ok(rows >= rules.length, `the ${rules.length} rules are drawn across: ${rows} rows`);
    }
    const notes = receiptLog(pngPath).filter((line) => / is not drawn$/.test(line));
    return { texts, notes };
}
