// Receipts made by ESC/POS libraries that no one here wrote, sent over TCP to the real
// quillet-virtual-printer: every text line is in the decoded log in order with its style, the
// image's dots are in the picture, the barcode and QR code decode back to their data, and the
// rules of a table are drawn as box characters.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { createInterface } from 'node:readline';
import { mkdtempSync, readFileSync, existsSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createConnection } from 'node:net';
import EscPosEncoder from 'esc-pos-encoder';
import thermal from 'node-thermal-printer';
import receiptline from 'receiptline';
import { PNG } from 'pngjs';

const { ThermalPrinter, PrinterTypes } = thermal;
const program = process.env.QUILLET_VIRTUAL_PRINTER;
const host = '127.0.0.1';
let printer, port, folder;
const receipts = [];
const waiting = [];

// A picture no text or code contains: 8-dot squares, checkered, with one corner dot cleared.
const image = (() => {
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

function nextReceipt() {
    return new Promise((resolve, reject) => {
        const timer = setTimeout(() => reject(new Error('no receipt within 60 s')), 60000);
        waiting.push((path) => { clearTimeout(timer); resolve(path); });
    });
}

before(async () => {
    folder = mkdtempSync(join(tmpdir(), 'quillet-clients-'));
    printer = spawn(program, ['--tcp', `${host}:0`, '--out', folder, '--pause', '30'],
        { stdio: ['pipe', 'pipe', 'inherit'] });
    const lines = createInterface({ input: printer.stdout });
    await new Promise((resolve, reject) => {
        printer.on('exit', (code) => reject(new Error(`the printer ended with ${code}`)));
        lines.on('line', (line) => {
            if (line.startsWith('tcp ')) port = Number(line.split(':').pop());
            if (line === 'ready') resolve();
            if (line.startsWith('receipt ')) {
                const path = line.slice(8);
                const waiter = waiting.shift();
                if (waiter) waiter(path); else receipts.push(path);
            }
        });
    });
});

after(() => {
    printer.kill('SIGTERM');
    rmSync(folder, { recursive: true, force: true });
});

function send(bytes) {
    return new Promise((resolve, reject) => {
        const socket = createConnection({ host, port }, () => socket.end(Buffer.from(bytes)));
        socket.resume(); // replies (receiptline asks GS r at the end) are read and dropped
        socket.on('close', resolve);
        socket.on('error', reject);
    });
}

// The logged text lines, in order: [text, style words].
function loggedText(pngPath) {
    const log = readFileSync(pngPath.replace(/\.png$/, '.txt'), 'utf8');
    return log.split('\n').filter((line) => line.startsWith('text "')).map((line) => {
        const end = line.lastIndexOf('"');
        return [line.slice(6, end), line.slice(end + 2)];
    });
}

// Each expected [text, style words] is logged in this order (the library may pad the text).
function expectLinesInOrder(pngPath, expected) {
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

// The picture holds the image dot for dot somewhere.
function containsImage(pngPath, picture = image) {
    const png = PNG.sync.read(readFileSync(pngPath));
    const dark = (x, y) => png.data[(y * png.width + x) * 4] < 128;
    const want = (x, y) => picture.data[(y * picture.width + x) * 4] < 128;
    for (let top = 0; top + picture.height <= png.height; top++)
        for (let left = 0; left + picture.width <= png.width; left++) {
            let same = true;
            for (let y = 0; y < picture.height && same; y++)
                for (let x = 0; x < picture.width && same; x++)
                    same = dark(left + x, top + y) === want(x, y);
            if (same) return true;
        }
    return false;
}

function decoded(pngPath) {
    return execFileSync('zbarimg', ['--quiet', '--raw', pngPath], { encoding: 'utf8' })
        .split('\n').filter((line) => line.length > 0);
}

test('esc-pos-encoder: styles, alignment, an EAN-13 barcode, a QR code and an image', async () => {
    const encoder = new EscPosEncoder({ imageMode: 'raster' });
    const bytes = encoder.initialize()
        .line('Plain line')
        .bold(true).line('Bold line').bold(false)
        .underline(true).line('Underlined line').underline(false)
        .invert(true).line('Inverted line').invert(false)
        .align('center').line('Centered line')
        .align('right').line('Right line')
        .align('left').size('small').line('Small line').size('normal')
        .width(2).height(2).line('Big').width(1).height(1)
        .barcode('4006381333931', 'ean13', 60)
        .qrcode('https://example.org/quillet/receipt/1')
        .image(image, image.width, image.height, 'threshold')
        .cut()
        .encode();
    const arrived = nextReceipt();
    await send(bytes);
    const receipt = await arrived;
    expectLinesInOrder(receipt, [
        ['Plain line', ['font A', 'left']],
        ['Bold line', ['emphasized']],
        ['Underlined line', ['underline 1']],
        ['Inverted line', ['reverse']],
        ['Centered line', []],
        ['Right line', []],
        ['Small line', ['font B']],
        ['Big', ['width x2', 'height x2']],
    ]);
    // This library aligns by padding lines with spaces to its 42 columns of 12 dots.
    const position = (text) => {
        const [line, style] = loggedText(receipt).find(([logged]) => logged.trim() === text);
        return Number(style.match(/at (\d+)$/)[1]) + 12 * (line.length - line.trimStart().length);
    };
    assert.equal(position('Centered line'), 12 * Math.floor((42 - 'Centered line'.length) / 2));
    assert.equal(position('Right line'), 12 * (42 - 'Right line'.length));
    const codes = decoded(receipt);
    assert.ok(codes.includes('4006381333931'), `EAN-13 decodes: ${codes}`);
    assert.ok(codes.includes('https://example.org/quillet/receipt/1'), `QR decodes: ${codes}`);
    assert.ok(containsImage(receipt), 'the image is printed dot for dot');
});

test('node-thermal-printer: styles, alignment, a CODE128 barcode, a QR code and an image', async () => {
    const client = new ThermalPrinter({ type: PrinterTypes.EPSON, interface: `tcp://${host}:${port}` });
    client.println('Thermal plain');
    client.bold(true); client.println('Thermal bold'); client.bold(false);
    client.underline(true); client.println('Thermal underlined'); client.underline(false);
    client.alignCenter(); client.println('Thermal centered');
    client.alignRight(); client.println('Thermal right'); client.alignLeft();
    client.setTextDoubleHeight(); client.println('Thermal tall'); client.setTextNormal();
    client.code128('QUILLET-128', { width: 2, height: 80 });
    client.newLine();
    client.printQR('QR from node-thermal-printer', { cellSize: 4 });
    const png = new PNG({ width: image.width, height: image.height });
    png.data = Buffer.from(image.data);
    await client.printImageBuffer(PNG.sync.write(png));
    client.cut();
    const arrived = nextReceipt();
    await client.execute();
    const receipt = await arrived;
    expectLinesInOrder(receipt, [
        ['Thermal plain', ['font A', 'left']],
        ['Thermal bold', ['emphasized']],
        ['Thermal underlined', ['underline']],
        ['Thermal centered', ['center']],
        ['Thermal right', ['right']],
        ['Thermal tall', ['height x2']],
    ]);
    const codes = decoded(receipt);
    assert.ok(codes.includes('QUILLET-128'), `CODE128 decodes: ${codes}`);
    assert.ok(codes.includes('QR from node-thermal-printer'), `QR decodes: ${codes}`);
    assert.ok(containsImage(receipt), 'the image is printed dot for dot');
});

// Two receipts made by the library, sent at once by two connections a few bytes a write, the
// writes interleaved as two point-of-sale terminals printing together would: each receipt holds
// one terminal's lines, all of them, in order.
test('esc-pos-encoder: two terminals printing at once get a receipt each', async () => {
    const job = (name) => {
        const encoder = new EscPosEncoder();
        encoder.initialize();
        for (let line = 0; line < 8; line++) encoder.line(`${name} line ${line}`);
        return encoder.cut().encode();
    };
    const jobs = [job('Terminal A'), job('Terminal B')];
    const sockets = await Promise.all(jobs.map(() => new Promise((resolve, reject) => {
        const socket = createConnection({ host, port, noDelay: true }, () => resolve(socket));
        socket.on('error', reject);
    })));
    const arrived = [nextReceipt(), nextReceipt()];
    for (let at = 0; at < Math.max(...jobs.map((bytes) => bytes.length)); at += 5) {
        for (let i = 0; i < jobs.length; i++)
            if (at < jobs[i].length) sockets[i].write(Buffer.from(jobs[i].subarray(at, at + 5)));
        await new Promise((resolve) => setTimeout(resolve, 1));
    }
    await Promise.all(sockets.map((socket) => new Promise((resolve) => socket.end(resolve))));
    const names = [];
    for (const receipt of await Promise.all(arrived)) {
        const texts = loggedText(receipt).map(([text]) => text.trim());
        const name = texts[0].slice(0, 'Terminal A'.length);
        names.push(name);
        assert.deepEqual(texts, [...Array(8).keys()].map((line) => `${name} line ${line}`));
    }
    assert.deepEqual(names.sort(), ['Terminal A', 'Terminal B']);
});

// receiptline sends its logo and its QR code as graphics (GS 8 L, GS ( L) and rules its tables
// with the box characters of code table 1.
test('receiptline: a logo, a ruled table with accented text, a QR code and an EAN-8 barcode', async () => {
    const png = new PNG({ width: image.width, height: image.height });
    png.data = Buffer.from(image.data);
    const markup = [
        `{image:${PNG.sync.write(png).toString('base64')}}`,
        '^^^Café Crème',
        '{border:line; width:20,*}',
        '|Item|Price|',
        '-',
        '|Crème brûlée|4,50 €|',
        '|Apfelstrudel|3,20 €|',
        '{border:space; width:*}',
        '{code:https://example.org/receiptline/1; option:qrcode,4,l}',
        '{code:12345670; option:ean,2,72,hri}',
    ].join('\n');
    const bytes = receiptline.transform(markup, { cpl: 48, encoding: 'cp1252', command: 'escpos' });
    const arrived = nextReceipt();
    await send(Buffer.from(bytes, 'binary'));
    const receipt = await arrived;
    expectLinesInOrder(receipt, [
        ['Café Crème', ['width x2', 'height x2']],
        ['Item', []], ['Price', []],
        ['Crème brûlée', []], ['4,50 €', []],
        ['Apfelstrudel', []], ['3,20 €', []],
        ['12345670', []], // the text under the barcode, with its check digit
    ]);
    const texts = loggedText(receipt).map(([text]) => text.trim());
    for (const rule of [/^╭─+┬─+╮$/, /^├─+┼─+┤$/, /^╰─+┴─+╯$/])
        assert.ok(texts.some((text) => rule.test(text)), `a rule ${rule} is logged: ${JSON.stringify(texts)}`);
    assert.ok(texts.filter((text) => text === '│').length >= 9, 'the vertical rules are logged');
    // The horizontal rules are unbroken lines across the table in the picture.
    const picture = PNG.sync.read(readFileSync(receipt));
    let ruledRows = 0;
    for (let y = 0; y < picture.height; y++) {
        let run = 0, longest = 0;
        for (let x = 0; x < picture.width; x++) {
            run = picture.data[(y * picture.width + x) * 4] < 128 ? run + 1 : 0;
            longest = Math.max(longest, run);
        }
        if (longest >= 500) ruledRows++;
    }
    assert.ok(ruledRows >= 3 && ruledRows <= 20, `three rules of a few rows each: ${ruledRows} rows`);
    const codes = decoded(receipt);
    assert.ok(codes.includes('12345670'), `EAN-8 decodes: ${codes}`);
    assert.ok(codes.includes('https://example.org/receiptline/1'), `QR decodes: ${codes}`);
    // receiptline dithers the logo: its dots are those of the graphics it sent (GS 8 L function
    // 112: a bx by c xL xH yL yH, then rows of bytes).
    const sent = Buffer.from(bytes, 'binary');
    const at = sent.indexOf('\x1d8L', 0, 'binary') + 9;
    assert.equal(sent[at - 1], 112, 'the logo is sent as graphics for the print buffer');
    const width = sent.readUInt16LE(at + 4), height = sent.readUInt16LE(at + 6);
    const logo = { width, height, data: new Uint8Array(width * height * 4).fill(255) };
    for (let y = 0; y < height; y++)
        for (let x = 0; x < width; x++)
            if (sent[at + 8 + y * Math.ceil(width / 8) + (x >> 3)] & (0x80 >> (x & 7)))
                logo.data[(y * width + x) * 4] = 0;
    assert.equal(width, image.width);
    assert.ok(containsImage(receipt, logo), 'the logo is printed dot for dot');
});
