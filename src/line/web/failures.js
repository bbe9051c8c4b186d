'use strict';
Tarvo.run(async () => {
  const {el} = Tarvo;
  const content = document.getElementById('content');
  const f = Tarvo.filters((v) => show(v).catch((e) => Tarvo.problem(e.message)));
  const tableBox = el('div', {});
  const drill = el('div', {id: 'drill'});
  content.append(f.form, el('div', {class: 'chart', id: 'pareto-chart-box'}), tableBox, drill);

  async function printers(slot, params) {
    const p = Object.assign({}, params, {slot});
    const data = await Tarvo.get('/api/failures/printers', p);
    drill.replaceChildren(el('h2', {}, 'Printers that failed ', el('q', {}, slot)),
      Tarvo.table('failed-printers', data.printers, [
        ['started', 'Started'], ['head_id', 'Printer', {printer: true, value: (r) => r.head_id || r.usb_serial}],
        ['usb_serial', 'USB S/No.'], ['machine_id', 'Machine ID'], ['host', 'Host'],
        ['station', 'Station', {num: true}], ['text', 'Step']],
      {endpoint: '/api/failures/printers', table: 'printers', params: p}));
  }

  async function show(params) {
    const data = await Tarvo.get('/api/failures', params);
    const chart = Tarvo.chart('pareto-chart', {
      type: 'bar',
      data: {labels: data.slots.map((s) => s.slot), datasets: [
        {label: 'failures', data: data.slots.map((s) => s.failures), backgroundColor: '#d64545'},
        {label: 'cumulative %', type: 'line', yAxisID: 'pct', borderColor: '#2b5fb4',
          data: data.slots.map((s) => Math.round(1000 * s.cumulative_share) / 10)}]},
      options: {scales: {y: {beginAtZero: true}, pct: {position: 'right', min: 0, max: 100,
        grid: {drawOnChartArea: false}}},
      onClick: (e, items) => { if (items.length) printers(data.slots[items[0].index].slot, params); }},
    });
    void chart;
    tableBox.replaceChildren(Tarvo.table('failures-table', data.slots, [
      ['slot', 'Slot', {node: (v) => el('button', {class: 'link', type: 'button',
        onclick: () => printers(v, params).catch((e) => Tarvo.problem(e.message))}, v)}],
      ['failures', 'Failures', {num: true}], ['printers', 'Printers', {num: true}],
      ['cumulative_share', 'Cumulative share', {num: true}]],
    {endpoint: '/api/failures', table: 'slots', params}));
    drill.replaceChildren();
  }
  await show(f.values());
});
