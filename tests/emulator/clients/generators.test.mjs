// A realistic receipt from each receipt generator (a logo, a ruled table with accented text and
// prices in euros, a barcode where the library has one, a QR code), printed by the real
// quillet-virtual-printer and read back from its log and picture.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { createElement as h } from 'react';
import ReceiptPrinterEncoder from '@point-of-sale/receipt-printer-encoder';
import escposBuffer from 'escpos-buffer';
import { Printer, Text, Row, Line, Barcode, QRCode, Image, Cut, render } from 'react-thermal-printer';
import thermal from 'node-thermal-printer';
import { host, image, imagePng, startPrinter, checkReceipt } from './printer.mjs';

let printer;
before(async () => { printer = await startPrinter(); });
after(() => printer.stop());

const menu = [['Crème brûlée', '4,50 €'], ['Apfelstrudel', '3,20 €']];
const menuLines = menu.flat().map((text) => [text, []]);

// It picks a code table for each character (CP437 for the letters, PC857 for the euro sign),
// sets 1/203-inch motion units for this 203-dpi printer and rules the table in box characters
// with no space between the lines.
test('ReceiptPrinterEncoder: logo, boxed table, rule, EAN-13 and QR code', async () => {
    const encoder = new ReceiptPrinterEncoder({ printerModel: 'epson-tm-t20iii' });
    const bytes = encoder.initialize().codepage('auto')
        .image(image, image.width, image.height, 'threshold')
        .align('center').bold(true).size(2, 2).line('Café Crème').size(1, 1).bold(false)
        .align('left')
        .table([{ width: 24, align: 'left' }, { width: 10, align: 'right' }], menu,
            { border: 'single', outline: 'single' })
        .rule()
        .barcode('4006381333931', 'ean13', 60)
        .qrcode('https://example.org/receipt-printer-encoder/1')
        .cut().encode();
    const receipt = await printer.print(bytes);
    const { texts, notes } = checkReceipt(receipt, {
        lines: [['Café Crème', ['emphasized', 'width x2', 'height x2']]],
        codes: ['4006381333931', 'https://example.org/receipt-printer-encoder/1'],
        rules: [/^┌─+┬─+┐$/, /^└─+┴─+┘$/, /^─{48}$/],
        ruleLength: 400,
    });
    // Each row is logged up to its euro sign, which comes from another code table.
    for (const [item, price] of menu)
        assert.ok(texts.includes(`│${item.padEnd(24)}│${price.slice(0, -1).padStart(9)}`.trimEnd()),
            `${item} is logged: ${JSON.stringify(texts)}`);
    assert.equal(texts.filter((text) => text === '€').length, 2, 'the euro sign of PC857 is drawn');
    assert.deepEqual(notes, [], 'everything it sent is drawn');
});

// It sends the logo as 24-dot ESC * bands, its text through iconv-lite in PC858, and has no
// barcode command.
test('escpos-buffer: logo, box-drawn table in PC858, QR code', async () => {
    const { Printer: EscPosPrinter, Model, InMemory, Image: BufferImage, Style, Align } = escposBuffer;
    const connection = new InMemory();
    const client = await EscPosPrinter.CONNECT(new Model('TM-T20'), connection);
    await client.setCodepage('cp858');
    await client.setAlignment(Align.Center);
    await client.draw(new BufferImage({ data: Buffer.from(image.data), width: image.width, height: image.height }));
    await client.writeln('Café Crème', Style.DoubleWidth | Style.DoubleHeight | Style.Bold, Align.Center);
    await client.writeln('┌' + '─'.repeat(20) + '┬' + '─'.repeat(10) + '┐');
    for (const [item, price] of menu)
        await client.writeln(`│${item.padEnd(20)}│${price.padStart(10)}│`);
    await client.writeln('└' + '─'.repeat(20) + '┴' + '─'.repeat(10) + '┘');
    await client.qrcode('https://example.org/escpos-buffer/1', 6);
    await client.feed(3);
    await client.cutter();
    const receipt = await printer.print(connection.buffer());
    const { texts, notes } = checkReceipt(receipt, {
        lines: [['Café Crème', ['emphasized', 'width x2', 'height x2']]],
        codes: ['https://example.org/escpos-buffer/1'],
        rules: [/^┌─{20}┬─{10}┐$/, /^└─{20}┴─{10}┘$/],
        ruleLength: 300,
    });
    for (const [item, price] of menu)
        assert.ok(texts.includes(`│${item.padEnd(20)}│${price.padStart(10)}│`), `${item} is logged: ${JSON.stringify(texts)}`);
    assert.deepEqual(notes, [], 'everything it sent is drawn');
});

// It renders React elements: GS v 0 for the image, rows padded with spaces, CODE128 with its
// code set prefix, and ESC @ at the end.
test('react-thermal-printer: logo, ruled rows, CODE128 and QR code', async () => {
    const reader = async () => ({ data: new Uint8Array(image.data), width: image.width, height: image.height });
    const bytes = await render(h(Printer, { type: 'epson', width: 48, characterSet: 'pc858_euro' },
        h(Image, { align: 'center', src: 'logo.png', reader }),
        h(Text, { size: { width: 2, height: 2 }, bold: true, align: 'center' }, 'Café Crème'),
        h(Line, { character: '─' }),
        ...menu.map(([left, right]) => h(Row, { key: left, left, right })),
        h(Line, { character: '═' }),
        h(Barcode, { type: 'CODE128', content: '{BREACT-128', align: 'center' }),
        h(QRCode, { content: 'https://example.org/react-thermal-printer/1', align: 'center', cellSize: 6 }),
        h(Cut, {})));
    const receipt = await printer.print(bytes);
    const { notes } = checkReceipt(receipt, {
        lines: [['Café Crème', ['emphasized', 'width x2', 'height x2', 'center']], ...menuLines],
        codes: ['REACT-128', 'https://example.org/react-thermal-printer/1'],
        rules: [/^─{48}$/, /^═{48}$/],
        ruleLength: 500,
    });
    assert.deepEqual(notes, [], 'everything it sent is drawn');
});

// It encodes each character that is not ASCII in the first code table that has it, switching
// with ESC t as it goes, and pads table cells with spaces.
test('node-thermal-printer: logo, box-ruled table, CODE128 and QR code', async () => {
    const { ThermalPrinter, PrinterTypes, CharacterSet } = thermal;
    const client = new ThermalPrinter({ type: PrinterTypes.EPSON,
        interface: `tcp://${host}:${printer.port}`, characterSet: CharacterSet.PC858_EURO });
    client.alignCenter();
    await client.printImageBuffer(imagePng());
    client.setTextDoubleHeight(); client.bold(true); client.println('Café Crème');
    client.bold(false); client.setTextNormal(); client.alignLeft();
    client.println('┌' + '─'.repeat(46) + '┐');
    for (const [item, price] of menu)
        client.tableCustom([{ text: item, align: 'LEFT', width: 0.7 }, { text: price, align: 'RIGHT', width: 0.3 }]);
    client.println('└' + '─'.repeat(46) + '┘');
    client.code128('NTP-128', { width: 2, height: 80 });
    client.newLine();
    client.printQR('https://example.org/node-thermal-printer/1', { cellSize: 6 });
    client.cut();
    const arrived = printer.nextReceipt();
    await client.execute();
    const receipt = await arrived;
    const { texts, notes } = checkReceipt(receipt, {
        lines: [['Café Crème', ['emphasized', 'height x2']]],
        codes: ['NTP-128', 'https://example.org/node-thermal-printer/1'],
        rules: [/^┌─{46}┐$/, /^└─{46}┘$/],
        ruleLength: 500,
    });
    for (const [item, price] of menu)
        assert.ok(texts.some((text) => text.startsWith(item) && text.endsWith(price)),
            `${item} is logged with its price: ${JSON.stringify(texts)}`);
    assert.deepEqual(notes, [], 'everything it sent is drawn');
});
