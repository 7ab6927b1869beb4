// The wizard in a real browser: Debian's Chromium, driven by Playwright, against
// `vorlintex serve` on a loopback port the system picks.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, writeFileSync, readFileSync, readdirSync, mkdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { chromium } from 'playwright-core';

const binary = resolve(process.env.VORLINTEX ?? '../build/app/vorlintex');
const screenshot = process.env.VORLINTEX_SCREENSHOT; // where to keep the entry page's picture

let server, browser, base, address;

// A new browser (context) that has opened the printed address, on the wizard's entry page.
async function openWizard() {
  const page = await browser.newPage();
  await page.goto(address);
  assert.equal(new URL(page.url()).pathname, '/morvane.asp');
  return page;
}

// The address `vorlintex serve` prints once it listens: the only way in.
function printedAddress(child) {
  return new Promise((done, fail) => {
    let out = '';
    child.stdout.setEncoding('utf8');
    child.stdout.on('data', (chunk) => {
      out += chunk;
      const found = out.match(/the wizard is at (http:\/\/\S+)/);
      if (found) done(found[1]);
    });
    child.once('exit', (code) => fail(new Error(`vorlintex serve exited (${code}): ${out}`)));
  });
}

before(async () => {
  // Port 0: the system picks a free port, and the printed address names it.
  server = spawn(binary, ['serve', '--listen', '127.0.0.1:0', '--quiet'], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  address = await printedAddress(server);
  base = new URL(address).origin;
  const args = ['--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'];
  if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args });
});

after(async () => {
  await browser?.close();
  server?.kill('SIGTERM');
});

// Fills the entry page, submits it, and gives the alert text shown (null when none) and
// whether the browser went on to another page.
async function submitEntry(fields) {
  const page = await openWizard();
  for (const [name, value] of Object.entries(fields)) await page.fill(`input[name="${name}"]`, value);
  let alertText = null;
  page.once('dialog', async (dialog) => {
    alertText = dialog.message();
    await dialog.dismiss();
  });
  let requested = false;
  page.on('request', (request) => { requested ||= request.method() === 'POST'; });
  await page.click('input[type="submit"]');
  await page.waitForTimeout(300);
  const hasList = (await page.locator('select[name="asplist"]').count()) > 0;
  await page.close();
  return { alertText, requested, hasList };
}

test('only the printed address lets a browser in', async () => {
  assert.match(address, new RegExp(`^${base}/\\?token=[0-9a-f]{32}$`));
  const stranger = await browser.newPage();
  const refused = await stranger.goto(`${base}/morvane.asp`);
  assert.equal(refused.status(), 403);
  assert.match(await stranger.textContent('body'), /open the address that vorlintex serve printed/);
  await stranger.close();

  // The browser keeps the access cookie (its attributes are pinned by the page host's tests).
  const page = await openWizard();
  assert.equal(await page.locator('input[name="sourcedir"]').count(), 1);
  await page.close();
});

const checks = [
  { name: 'empty source', fields: { sourcedir: '', targetdir: '/tmp/out', dllname: 'Shop' },
    alert: 'Source Directory cannot be blank.' },
  { name: 'empty target', fields: { sourcedir: '/tmp/src', targetdir: '', dllname: 'Shop' },
    alert: 'Target Directory cannot be blank.' },
  { name: 'same folder', fields: { sourcedir: '/tmp/src', targetdir: '/tmp/src', dllname: 'Shop' },
    alert: 'Source and Target Directory cannot be the same, otherwise you overwritten your original ASP files.' },
  { name: 'empty DLL name', fields: { sourcedir: '/tmp/src', targetdir: '/tmp/out', dllname: '' },
    alert: 'Dll Name cannot be blank.' },
  { name: 'several faults: same folder and name blank', fields: { sourcedir: 'x', targetdir: 'x', dllname: '' },
    alert: 'Source and Target Directory cannot be the same, otherwise you overwritten your original ASP files.' },
];

for (const check of checks) {
  test(`entry page validation: ${check.name}`, async () => {
    const outcome = await submitEntry(check.fields);
    assert.equal(outcome.alertText, check.alert);
    assert.equal(outcome.requested, false, 'the form must not be sent');
    assert.equal(outcome.hasList, false);
  });
}

// Fills the entry page and goes on to the selection page.
async function goToSelection(page, source, target, dll) {
  await page.fill('input[name="sourcedir"]', source);
  await page.fill('input[name="targetdir"]', target);
  await page.fill('input[name="dllname"]', dll);
  await Promise.all([page.waitForNavigation(), page.click('input[type="submit"]')]);
}

test('the whole wizard: entry, selection, run, report, files, prefill', async () => {
  const work = mkdtempSync(join(tmpdir(), 'vorlintex-e2e-'));
  const source = join(work, 'site');
  const target = join(work, 'out');
  mkdirSync(source);
  writeFileSync(join(source, 'Default.asp'), '<p>Hello <%= name %></p>\r\n');
  writeFileSync(join(source, 'orders.asp'), '<% x = 1 %>\r\n<b>Orders</b>\r\n');
  writeFileSync(join(source, 'menu.ASP'), '<ul></ul>\r\n');
  writeFileSync(join(source, 'notes.txt'), 'not a page\r\n');

  const page = await openWizard();
  if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
  await goToSelection(page, source, target, 'Shop.dll');

  const options = await page.locator('select[name="asplist"] option').allTextContents();
  assert.deepEqual(options, ['Default.asp', 'menu.ASP', 'orders.asp']);
  assert.equal(await page.inputValue('input[name="sourcedir"]'), source);

  await page.selectOption('select[name="asplist"]', ['Default.asp', 'orders.asp']);
  await Promise.all([page.waitForNavigation(), page.click('input[type="submit"]')]);
  const report = await page.textContent('body');
  assert.ok(report.includes(`Done generating all the VB files in ${target}.`), report);
  assert.match(report, /Important Notes:/);

  const written = readdirSync(target).sort();
  assert.deepEqual(written, ['Shop.bat', 'Shop.vbp', 'default.asp', 'default.cls', 'default.vbw',
    'orders.asp', 'orders.cls', 'orders.vbw']);
  assert.equal(readFileSync(join(target, 'orders.asp'), 'latin1'),
    '<%\r\nDim corders\r\nSet corders = Server.CreateObject("tShop.orders")\r\n' +
    'corders.orders\r\nSet corders = Nothing\r\n%>\r\n');
  const module = readFileSync(join(target, 'default.cls'), 'latin1');
  assert.ok(module.includes('Response.Write ("<p>Hello " &  name  & "</p>" & vbCrlf)\r\n'));
  assert.ok(module.endsWith('End Sub\r\n'));
  assert.equal(readFileSync(join(source, 'Default.asp'), 'latin1'), '<p>Hello <%= name %></p>\r\n');

  // A plain request in the same session shows the values of the last selection page.
  await page.goto(`${base}/morvane.asp`);
  assert.equal(await page.inputValue('input[name="sourcedir"]'), source);
  assert.equal(await page.inputValue('input[name="targetdir"]'), target);
  assert.equal(await page.inputValue('input[name="dllname"]'), 'Shop.dll');
  await page.close();
});

// The pages declare iso-8859-1, so the browser posts "é" as the byte 0xE9; the folders on disk
// are named in UTF-8. The wizard lists, converts into and reports the folders as typed.
test('folder names outside ASCII: typed, listed, converted into and shown as they are', async () => {
  const work = mkdtempSync(join(tmpdir(), 'vorlintex-e2e-'));
  const source = join(work, 'site-café');
  const target = join(work, 'out-Zürich');
  mkdirSync(source);
  writeFileSync(join(source, 'menü.asp'), '<p>Menu</p>\r\n');
  const page = await openWizard();
  await goToSelection(page, source, target, 'Cafe');
  assert.deepEqual(await page.locator('select[name="asplist"] option').allTextContents(), ['menü.asp']);
  assert.equal(await page.inputValue('input[name="sourcedir"]'), source);
  await page.selectOption('select[name="asplist"]', ['menü.asp']);
  await Promise.all([page.waitForNavigation(), page.click('input[type="submit"]')]);
  const report = await page.textContent('body');
  assert.ok(report.includes(`Done generating all the VB files in ${target}.`), report);
  assert.deepEqual(readdirSync(target).sort(), ['Cafe.bat', 'Cafe.vbp', 'menü.asp', 'menü.cls', 'menü.vbw']);
  await page.close();
});
