'use strict';
Tarvo.run(async () => {
  const {el} = Tarvo;
  const content = document.getElementById('content');
  const q = new URLSearchParams(location.search);
  const input = el('input', {type: 'search', name: 'q', id: 'search', value: q.get('q') || '',
    placeholder: 'USB serial number, head ID or Machine ID', size: 36});
  const form = el('form', {class: 'filters', id: 'search-form'}, el('label', {}, 'Printer', input),
    el('button', {type: 'submit'}, 'Find'));
  const hits = el('div', {id: 'hits'});
  const view = el('div', {id: 'printer'});
  content.append(form, hits, view);

  form.addEventListener('submit', (e) => {
    e.preventDefault();
    find(input.value.trim()).catch((err) => Tarvo.problem(err.message));
  });

  async function find(text) {
    if (!text) return;
    history.replaceState(null, '', '?' + new URLSearchParams({q: text}).toString());
    const data = await Tarvo.get('/api/printers', {q: text});
    view.replaceChildren();
    hits.replaceChildren(data.printers.length ? Tarvo.table('hits-table', data.printers, [
      ['head_id', 'Head ID', {printer: true}], ['usb_serial', 'USB S/No.'],
      ['machine_id', 'Machine ID'], ['last_seen', 'Last seen']],
    {endpoint: '/api/printers', table: 'printers', params: {q: text}}) : el('p', {}, 'No printer found.'));
    if (data.printers.length === 1) await show(data.printers[0].usb_serial, data.printers[0].head_id);
  }

  function diff(entry) {
    const rows = entry.fields.filter((f) => f.changed || f.read_back_differs);
    return Tarvo.table('', rows.length ? rows : entry.fields, [
      ['offset', 'Offset', {value: (f) => '0x' + f.offset.toString(16).padStart(2, '0')}],
      ['name', 'Field'], ['before', 'Before', {value: (f) => (f.before === null ? '?' : f.before)}],
      ['written', 'Written', {cls: (v, f) => (f.changed ? 'changed' : '')}],
      ['read_back', 'Read back', {cls: (v, f) => (f.read_back_differs ? 'outside' : '')}]]);
  }

  async function show(serial, head) {
    const p = {};
    if (serial) p.serial = serial;
    if (head) p.head = head;
    const data = await Tarvo.get('/api/printer', p);
    const journal = el('div', {id: 'journal'});
    for (const e of data.journal) {
      journal.append(el('details', {class: 'journal-entry', open: ''},
        el('summary', {}, e.time, ' · ', e.operation, ' · ', e.area, ' · ', e.check, ' · ',
          e.changed_fields + ' fields changed'), diff(e)));
    }
    view.replaceChildren(
      el('h2', {}, 'Printer ', el('span', {id: 'printer-head'}, head || '-'), ' · USB S/No. ',
        el('span', {id: 'printer-serial'}, serial || '-')),
      el('h2', {}, 'Steps'),
      Tarvo.table('steps-table', data.steps, [
        ['started', 'Started'], ['host', 'Host'], ['station', 'Station', {num: true}], ['text', 'Step'],
        ['result', 'Total', {cls: (v) => v}],
        ['slots', 'Slots', {value: (r) => (r.slots || []).map((s) => s.name + ' ' +
          (s.result === 1 ? 'PASS' : s.result === 0 ? 'FAIL' : '-')).join(', ')}],
        ['machine_id', 'Machine ID'], ['tof', 'TOF', {num: true}], ['ms1', 'MS1', {num: true}],
        ['ms2', 'MS2', {num: true}], ['vsd', 'VSD', {num: true}], ['ecn', 'ECN', {num: true}]],
      {endpoint: '/api/printer', table: 'steps', params: p}),
      el('h2', {}, 'EEPROM writes'), journal,
      el('h2', {}, 'Dot weights'),
      Tarvo.table('printer-dotweights', data.dot_weights, [
        ['time', 'Time'], ['kind', 'Kind'], ['average', 'Average', {num: true}],
        ['low', 'Low', {num: true}], ['high', 'High', {num: true}],
        ['outside', 'Outside', {cls: (v) => (v ? 'outside' : '')}]],
      {endpoint: '/api/printer', table: 'dot_weights', params: p}));
  }

  if (q.get('serial') || q.get('head')) await show(q.get('serial') || '', q.get('head') || '');
  else if (q.get('q')) await find(q.get('q'));
});
