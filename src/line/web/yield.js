'use strict';
Tarvo.run(async () => {
  const {el} = Tarvo;
  const content = document.getElementById('content');
  const by = el('select', {name: 'by', 'data-title': 'Per'}, el('option', {value: 'day'}, 'day'),
    el('option', {value: 'shift'}, 'shift'), el('option', {value: 'hour'}, 'hour'));
  by.value = 'day';
  const f = Tarvo.filters((v) => show(v).catch((e) => Tarvo.problem(e.message)), [by]);
  const totals = el('div', {});
  const tableBox = el('div', {});
  content.append(f.form, el('div', {class: 'chart', id: 'yield-chart-box'}), totals, tableBox);

  async function show(params) {
    const data = await Tarvo.get('/api/yield', params);
    const periods = [...new Set(data.rows.map((r) => r.period))];
    const sum = (key) => periods.map((p) => data.rows.filter((r) => r.period === p)
      .reduce((a, r) => a + r[key], 0));
    const printers = sum('printers');
    const first = sum('first_pass');
    Tarvo.chart('yield-chart', {
      type: 'bar',
      data: {labels: periods, datasets: [
        {label: 'passed', data: sum('passed'), backgroundColor: '#3a9d5d', stack: 's'},
        {label: 'failed', data: sum('failed'), backgroundColor: '#d64545', stack: 's'},
        {label: 'first-pass yield %', type: 'line', yAxisID: 'pct', borderColor: '#2b5fb4',
          data: periods.map((p, i) => printers[i] ? Math.round(1000 * first[i] / printers[i]) / 10 : null)},
      ]},
      options: {scales: {y: {beginAtZero: true, title: {display: true, text: 'printers'}},
        pct: {position: 'right', min: 0, max: 100, grid: {drawOnChartArea: false}}}},
    });
    totals.replaceChildren(Tarvo.table('yield-totals', data.totals, [
      ['printers', 'Printers', {num: true}], ['passed', 'Passed', {num: true}],
      ['failed', 'Failed', {num: true}], ['first_pass', 'First pass', {num: true}],
      ['first_pass_yield', 'First-pass yield', {num: true}]],
    {endpoint: '/api/yield', table: 'totals', params}));
    tableBox.replaceChildren(Tarvo.table('yield-table', data.rows, [
      ['period', 'Period'], ['host', 'Host'], ['station', 'Station', {num: true}],
      ['printers', 'Printers', {num: true}], ['passed', 'Passed', {num: true}],
      ['failed', 'Failed', {num: true}], ['first_pass', 'First pass', {num: true}],
      ['first_pass_yield', 'First-pass yield', {num: true}],
      ['steps_naming_no_printer', 'Steps naming no printer', {num: true}]],
    {endpoint: '/api/yield', table: 'rows', params}));
  }
  await show(f.values());
});
