// Receipts made by ESC/POS libraries that no one here wrote, sent over TCP to the real
// quillet-virtual-printer: every text line is in the decoded log in order with its style, the
// image's dots are in the picture, the barcode and QR code decode back to their data, and the
// rules of a table are drawn as box characters.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { createConnection } from 'node:net';
import EscPosEncoder from 'esc-pos-encoder';
import thermal from 'node-thermal-printer';
import receiptline from 'receiptline';
import { host, image, imagePng, startPrinter, loggedText, expectLinesInOrder, containsImage,
    decoded, checkReceipt } from './printer.mjs';

const { ThermalPrinter, PrinterTypes } = thermal;
let printer;

before(async () => { printer = await startPrinter(); });
after(() => printer.stop());

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
    const receipt = await printer.print(bytes);
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
    const client = new ThermalPrinter({ type: PrinterTypes.EPSON, interface: `tcp://${host}:${printer.port}` });
    client.println('Thermal plain');
    client.bold(true); client.println('Thermal bold'); client.bold(false);
    client.underline(true); client.println('Thermal underlined'); client.underline(false);
    client.alignCenter(); client.println('Thermal centered');
    client.alignRight(); client.println('Thermal right'); client.alignLeft();
    client.setTextDoubleHeight(); client.println('Thermal tall'); client.setTextNormal();
    client.code128('QUILLET-128', { width: 2, height: 80 });
    client.newLine();
    client.printQR('QR from node-thermal-printer', { cellSize: 4 });
    await client.printImageBuffer(imagePng());
    client.cut();
    const arrived = printer.nextReceipt();
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
        const socket = createConnection({ host, port: printer.port, noDelay: true }, () => resolve(socket));
        socket.on('error', reject);
    })));
    const arrived = [printer.nextReceipt(), printer.nextReceipt()];
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
    const markup = [
        `{image:${imagePng().toString('base64')}}`,
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
    const sent = Buffer.from(bytes, 'binary');
    // receiptline dithers the logo: its dots are those of the graphics it sent (GS 8 L function
    // 112: a bx by c xL xH yL yH, then rows of bytes).
    const at = sent.indexOf('\x1d8L', 0, 'binary') + 9;
    assert.equal(sent[at - 1], 112, 'the logo is sent as graphics for the print buffer');
    const width = sent.readUInt16LE(at + 4), height = sent.readUInt16LE(at + 6);
    assert.equal(width, image.width);
    const logo = { width, height, data: new Uint8Array(width * height * 4).fill(255) };
    for (let y = 0; y < height; y++)
        for (let x = 0; x < width; x++)
            if (sent[at + 8 + y * Math.ceil(width / 8) + (x >> 3)] & (0x80 >> (x & 7)))
                logo.data[(y * width + x) * 4] = 0;
    const receipt = await printer.print(sent);
    const { texts, notes } = checkReceipt(receipt, {
        lines: [
            ['Café Crème', ['width x2', 'height x2']],
            ['Item', []], ['Price', []],
            ['Crème brûlée', []], ['4,50 €', []],
            ['Apfelstrudel', []], ['3,20 €', []],
            ['12345670', []], // the text under the barcode, with its check digit
        ],
        codes: ['12345670', 'https://example.org/receiptline/1'],
        logo,
        rules: [/^╭─+┬─+╮$/, /^├─+┼─+┤$/, /^╰─+┴─+╯$/],
        ruleLength: 500,
    });
    assert.ok(texts.filter((text) => text === '│').length >= 9, 'the vertical rules are logged');
    assert.deepEqual(notes, [], 'everything it sent is drawn');
});
