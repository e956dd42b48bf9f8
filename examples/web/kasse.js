// The demo till: an ISBN typed or scanned (a scanner types the digits and
// Enter) becomes an article label on the till's printer, through tarvel dienst.
import { TarvelDienst, isbn13 } from './tarvel-dienst.js';

const $ = (id) => document.getElementById(id);
const meldung = (text, ok) => {
  $('meldung').textContent = text;
  $('meldung').className = ok ? 'ok' : 'fehler';
};

// The address and key are kept in this browser only.
for (const id of ['dienst', 'schluessel']) {
  $(id).value = localStorage.getItem(`tarvel.${id}`) ?? $(id).value;
  $(id).addEventListener('change', () => localStorage.setItem(`tarvel.${id}`, $(id).value.trim()));
}
if (!$('schluessel').value) $('einstellungen').open = true;

$('etikett').addEventListener('submit', async (ereignis) => {
  ereignis.preventDefault();
  const isbn = isbn13($('isbn').value);
  if (!isbn) {
    meldung(`„${$('isbn').value}“ ist keine ISBN (Länge oder Prüfziffer stimmt nicht).`, false);
    $('isbn').select();
    return;
  }
  $('drucken').disabled = true;
  try {
    const dienst = new TarvelDienst({ url: $('dienst').value.trim(), token: $('schluessel').value.trim() });
    const auftrag = await dienst.drucken([{
      art: 'label',
      felder: { ArtikelNr: isbn, ISBN: isbn, Preis1: $('preis').value.trim(), MatchCode: $('titel').value.trim() },
    }]);
    meldung(`Gedruckt: ${isbn} (Auftrag ${auftrag.auftrag}, ${auftrag.ziel})`, true);
    const eintrag = document.createElement('li');
    eintrag.textContent = `${isbn} ${$('titel').value.trim()}`;
    $('verlauf').prepend(eintrag);
    $('etikett').reset();
  } catch (e) {
    meldung(e.message, false);
  } finally {
    $('drucken').disabled = false;
    $('isbn').focus();
  }
});
